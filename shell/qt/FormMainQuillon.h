// Quillon's main window: the EEPROM device list, Erase, the write delay and
// the address window.
#pragma once

#include "shell/QuillonMain.h"
#include "shell/qt/FormMain.h"

namespace shell::qt {

class TfrmMainQuillon : public TfrmMain {
    Q_OBJECT
public:
    // `settings`: where the settings file is kept; beside the program unless a test says otherwise.
    TfrmMainQuillon(QuillonState& state, Hardware hardware,
                    SettingsLocation settings = SettingsLocation::ForProgram("Marrow.set", "quillon"));
    ~TfrmMainQuillon() override;

    QuillonMain& Logic() { return logic_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QuillonMain logic_;
};

}  // namespace shell::qt
