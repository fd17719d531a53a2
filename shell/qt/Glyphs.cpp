#include "shell/qt/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace shell::qt {
namespace {

QPixmap Blank(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap OpenFolderGlyph() {
    QPixmap pixmap = Blank(16, 15);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor outline(96, 64, 0);
    // back of the folder with its tab
    p.setPen(outline);
    p.setBrush(QColor(230, 190, 40));
    p.drawPolygon(QPolygon({{0, 4}, {1, 3}, {5, 3}, {6, 4}, {11, 4}, {11, 14}, {0, 14}}));
    // the open front flap, tilted
    p.setBrush(QColor(255, 230, 90));
    p.drawPolygon(QPolygon({{0, 14}, {3, 8}, {15, 8}, {12, 14}}));
    // curved arrow above, pointing into the folder
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath arc;
    arc.moveTo(8, 5);
    arc.quadTo(10, 0, 14, 2);
    p.setPen(QPen(QColor(0, 0, 160), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setBrush(QColor(0, 0, 160));
    p.drawPolygon(QPolygonF({QPointF(15, 0.5), QPointF(15.5, 4.5), QPointF(12, 3.5)}));
    return pixmap;
}

QPixmap FloppyGlyph() {
    QPixmap pixmap = Blank(16, 16);
    QPainter p(&pixmap);
    const QColor body(30, 60, 170);
    p.setPen(QColor(10, 20, 80));
    p.setBrush(body);
    p.drawPolygon(QPolygon({{0, 0}, {14, 0}, {15, 1}, {15, 15}, {0, 15}}));
    // metal shutter with its window
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(4, 1, 8, 5);
    p.setBrush(body);
    p.drawRect(9, 2, 2, 3);
    // paper label
    p.setBrush(Qt::white);
    p.drawRect(3, 9, 10, 6);
    p.setPen(QColor(120, 120, 160));
    p.drawLine(4, 11, 11, 11);
    p.drawLine(4, 13, 11, 13);
    return pixmap;
}

QPixmap InfoGlyph() {
    QPixmap pixmap = Blank(18, 18);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QColor(0, 0, 70));
    p.setBrush(QColor(0, 0, 128));
    p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7.5, 3, 3, 3));
    p.drawRect(QRectF(7.5, 7.5, 3, 7));
    p.drawRect(QRectF(6, 7.5, 2, 1.5));
    p.drawRect(QRectF(6, 13.5, 6, 1.5));
    return pixmap;
}

}  // namespace shell::qt
