// Quillon's reference card: which write delay suits which EEPROM.
#pragma once

#include <QDialog>

namespace shell::qt {

class TfrmDeviceInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDeviceInfo(QWidget* parent = nullptr);
};

}  // namespace shell::qt
