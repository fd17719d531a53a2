// Quillon's main window: the EEPROM device list, Erase, the write delay and
// the address window.
#pragma once

#include "shell/QuillonMain.h"
#include "shell/qt/FormMain.h"

namespace shell::qt {

class TfrmMainQuillon : public TfrmMain {
    Q_OBJECT
public:
    explicit TfrmMainQuillon(QuillonState& state);
    ~TfrmMainQuillon() override;

    QuillonMain& Logic() { return logic_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QuillonMain logic_;
};

}  // namespace shell::qt
