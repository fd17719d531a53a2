#include "shell/qt/GridModel.h"

#include <QPainter>

namespace shell::qt {

GridModel::GridModel(int columns, int rows, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns), rows_(rows), cells_(static_cast<size_t>(columns * rows)) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_ - 1; }
int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_ - 1; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return Cell(index.column() + 1, index.row() + 1);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    return orientation == Qt::Horizontal ? Cell(section + 1, 0) : Cell(0, section + 1);
}

void GridModel::SetCell(int col, int row, const QString& text) {
    if (col < 0 || col >= columns_ || row < 0 || row >= rows_) return;
    QString& cell = cells_[static_cast<size_t>(row * columns_ + col)];
    if (cell == text) return;
    cell = text;
    if (row == 0 && col > 0)
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    else if (col == 0 && row > 0)
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    else if (row > 0 && col > 0)
        emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1), {Qt::DisplayRole});
}

QString GridModel::Cell(int col, int row) const {
    if (col < 0 || col >= columns_ || row < 0 || row >= rows_) return {};
    return cells_[static_cast<size_t>(row * columns_ + col)];
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

}  // namespace shell::qt
