// What differs between the two main windows: captions, hints and a few places.
#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

namespace shell::qt {

struct MainWindowLayout {
    QString caption;
    QString version;           // status panel 1
    QString aboutHint;
    QString typeHint;
    QPoint typeLabelAt;
    QPoint typeListAt;
    int typeListWidth;
    QString memoryLabel;
    QString gridHint;
    QPoint checksumLabelAt;
    QPoint checksumAt;
    QString checksumHint;
    QColor checksumColour;
    QPoint verifyAt;
    QString chip;              // "uController" or "Eeprom" in the button hints
    QString openMenuCaption;
    QString saveMenuCaption;
};

}  // namespace shell::qt
