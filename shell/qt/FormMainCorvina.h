// Corvina's main window: the flash device list, Signature and the program bits.
#pragma once

#include "shell/CorvinaMain.h"
#include "shell/qt/FormMain.h"

namespace shell::qt {

class TfrmMainCorvina : public TfrmMain {
    Q_OBJECT
public:
    explicit TfrmMainCorvina(CorvinaState& state);

    CorvinaMain& Logic() { return logic_; }

private:
    CorvinaMain logic_;
};

}  // namespace shell::qt
