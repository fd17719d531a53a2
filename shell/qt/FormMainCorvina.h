// Corvina's main window: the flash device list, Signature and the program bits.
#pragma once

#include "shell/CorvinaMain.h"
#include "shell/qt/FormMain.h"

namespace shell::qt {

class TfrmMainCorvina : public TfrmMain {
    Q_OBJECT
public:
    // `settings`: where the settings file is kept; beside the program unless a test says otherwise.
    TfrmMainCorvina(CorvinaState& state, Hardware hardware,
                    SettingsLocation settings = SettingsLocation::ForProgram("Corvina.set", "corvina"));

    CorvinaMain& Logic() { return logic_; }

private:
    CorvinaMain logic_;
};

}  // namespace shell::qt
