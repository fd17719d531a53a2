// The frame every device command runs in.
#include <exception>

#include "shell/MainLogic.h"

namespace shell {
namespace {

// Puts the display back, the board at rest and the port free, however the
// command ends.
class CommandScope {
public:
    CommandScope(MainView& view, Hardware& hardware, bool framed, bool& busy)
        : view_(view), hardware_(hardware), framed_(framed), busy_(busy), exceptions_(std::uncaught_exceptions()) {
        busy_ = true;
        if (!framed_) return;
        view_.SetBusyCursor(true);
        view_.SetVisible(Ctl::stsBar, false);
        view_.SetVisible(Ctl::stxCmd, true);
        view_.SetVisible(Ctl::stxAdres, true);
    }
    ~CommandScope() {
        if (std::uncaught_exceptions() > exceptions_) {
            try {
                hardware_.device->BoardIdle();
            } catch (...) {
                // the first error is the one to report
            }
        }
        hardware_.port.Release();
        busy_ = false;
        if (!framed_) return;
        view_.SetVisible(Ctl::stsBar, true);
        view_.SetVisible(Ctl::stxCmd, false);
        view_.SetVisible(Ctl::stxAdres, false);
        view_.SetBusyCursor(false);
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    MainView& view_;
    Hardware& hardware_;
    bool framed_;
    bool& busy_;
    int exceptions_;
};

}  // namespace

void MainLogic::RunCommand(const Command& command) {
    if (!hardware_.device) return;
    // Without the port nothing is touched: not the board, the buffer or the file name.
    if (const std::string reason = hardware_.port.Claim(state_.PortBase); !reason.empty()) {
        view_.MessageBox(reason, command.title, Box::Error);
        return;
    }
    hardware_.board.PortBase = state_.PortBase;
    {
        CommandScope scope(view_, hardware_, command.activity != nullptr, busy_);
        if (command.activity) {
            view_.SetText(Ctl::stxCmd, "");
            view_.SetText(Ctl::stxCmd, command.activity);
        }
        (hardware_.device->*command.entry)();
    }
    switch (command.outcome) {
        case Outcome::Read:
            RememberFolder();
            state_.HexFileName.clear();
            RefreshFileLabel();
            RefreshGrid();
            ShowChecksum();
            view_.MessageBox("Data Reading Complete", command.title, Box::Information);
            break;
        case Outcome::Report: view_.MessageBox(state_.ResultText, command.title, Box::Information); break;
        case Outcome::Checked:
        case Outcome::Written:
            if (state_.ResultText != "OK")
                view_.MessageBox(state_.ResultText, command.title, command.failure);
            else
                view_.MessageBox(command.outcome == Outcome::Written ? WriteSuccessText() : command.success,
                                 command.title, Box::Information);
            break;
    }
}

void MainLogic::cmdBlankChkClick() {
    RunCommand({"Blank Checking", "BLANK CHECK", &DeviceLayer::BlankCheckDevice, Outcome::Checked, "Blank Check O.K"});
}

void MainLogic::cmdReadClick() { RunCommand({"Reading", "READ", &DeviceLayer::ReadDevice, Outcome::Read}); }

void MainLogic::cmdWriteClick() {
    RunCommand({"Programming", "WRITE", &DeviceLayer::WriteDevice, Outcome::Written, "", Box::Error});
}

void MainLogic::cmdVerifyClick() {
    RunCommand({"Verifying", "VERIFY", &DeviceLayer::VerifyDevice, Outcome::Checked, "Verify OK"});
}

void MainLogic::PrepareBoard() {
    if (!hardware_.port.Claim(state_.PortBase).empty()) return;  // the first command will tell why
    hardware_.board.PortBase = state_.PortBase;
    try {
        hardware_.timer.TimerInit();
        BoardRestAtStart();
    } catch (...) {
        hardware_.port.Release();
        throw;
    }
    hardware_.port.Release();
}

}  // namespace shell
