#include "shell/qt/Pictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "shell/qt/Fonts.h"

namespace shell::qt {
namespace {

// A chip seen from above: a black body with its pins on two sides.
void DrawChip(QPainter& p, QRectF body, int pinsPerSide, const QString& marking) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 190, 200));
    const double pitch = body.width() / pinsPerSide;
    for (int i = 0; i < pinsPerSide; ++i) {
        const double x = body.left() + pitch * (i + 0.25);
        p.drawRect(QRectF(x, body.top() - body.height() * 0.18, pitch * 0.5, body.height() * 0.18));
        p.drawRect(QRectF(x, body.bottom(), pitch * 0.5, body.height() * 0.18));
    }
    p.setBrush(QColor(25, 25, 30));
    p.drawRoundedRect(body, 3, 3);
    p.setBrush(QColor(60, 60, 70));
    p.drawEllipse(QPointF(body.left() + body.height() * 0.2, body.center().y()), body.height() * 0.09,
                  body.height() * 0.09);
    p.setPen(QColor(230, 230, 230));
    p.setFont(PixelFont("Arial", int(body.height() * 0.3), true));
    p.drawText(body, Qt::AlignCenter, marking);
}

}  // namespace

QPixmap SplashPicture(Program program) {
    const bool corvina = program == Program::Corvina;
    QPixmap pixmap(526, 335);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 335);
    sky.setColorAt(0, corvina ? QColor(10, 40, 110) : QColor(70, 20, 90));
    sky.setColorAt(1, corvina ? QColor(0, 120, 160) : QColor(150, 60, 120));
    p.fillRect(pixmap.rect(), sky);
    // board traces
    p.setPen(QPen(QColor(255, 255, 255, 40), 2));
    for (int y = 40; y < 335; y += 36) p.drawLine(0, y, 526, y + 60);
    DrawChip(p, QRectF(143, 150, 240, 70), 20, corvina ? "AT89C51" : "AT28C64");
    p.setPen(Qt::white);
    p.setFont(PixelFont("Arial", 54, true));
    p.drawText(QRect(0, 22, 526, 80), Qt::AlignCenter, corvina ? "CORVINA" : "QUILLON");
    p.setFont(PixelFont("Arial", 20, true));
    p.drawText(QRect(0, 92, 526, 30), Qt::AlignCenter,
               corvina ? "ATMEL 89 Series Flash Programmer" : "Parallel EEPROM Programmer");
    p.setFont(PixelFont("Arial", 16));
    p.drawText(QRect(0, 270, 526, 30), Qt::AlignCenter, corvina ? "Version 2.0" : "Version 1.0");
    return pixmap;
}

QPixmap AboutPicture(Program program) {
    const bool corvina = program == Program::Corvina;
    QPixmap pixmap(corvina ? QSize(145, 52) : QSize(156, 103));
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (corvina) {
        DrawChip(p, QRectF(8, 12, 129, 28), 20, "AT89C51");
    } else {
        DrawChip(p, QRectF(20, 22, 116, 40), 14, "28C64");
        p.setPen(QColor(0, 0, 128));
        p.setFont(PixelFont("Arial", 14, true));
        p.drawText(QRect(0, 76, 156, 24), Qt::AlignCenter, "EEPROM");
    }
    return pixmap;
}

}  // namespace shell::qt
