// The cell texts of the hex grid. Row 0 and column 0 of the logic's grid are
// the view's headers; cells keep whatever text they last received.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QFont>
#include <QString>
#include <vector>

namespace shell::qt {

class GridModel : public QAbstractTableModel {
public:
    GridModel(int columns, int rows, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // (col, row) as the logic counts them, headers included.
    void SetCell(int col, int row, const QString& text);
    QString Cell(int col, int row) const;

private:
    int columns_;
    int rows_;
    std::vector<QString> cells_;
};

// Draws a cell's two digits centred in the whole cell: the default margins
// leave too little room in an 18-pixel column.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace shell::qt
