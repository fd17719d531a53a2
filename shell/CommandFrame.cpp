// The frame every device command runs in.
#include "device/BoardSelfTest.h"
#include "device/HexText.h"
#include "device/Outcome.h"
#include "shell/MainLogic.h"

namespace shell {
namespace {

// The busy display, and the display put back however the command ends.
class BusyDisplay {
public:
    BusyDisplay(MainView& view, bool framed, bool& busy) : view_(view), framed_(framed), busy_(busy) {
        busy_ = true;
        if (!framed_) return;
        view_.SetBusyCursor(true);
        view_.SetVisible(Ctl::stsBar, false);
        view_.SetVisible(Ctl::stxCmd, true);
        view_.SetVisible(Ctl::stxAdres, true);
    }
    ~BusyDisplay() {
        busy_ = false;
        if (!framed_) return;
        view_.SetVisible(Ctl::stsBar, true);
        view_.SetVisible(Ctl::stxCmd, false);
        view_.SetVisible(Ctl::stxAdres, false);
        view_.SetBusyCursor(false);
    }
    BusyDisplay(const BusyDisplay&) = delete;
    BusyDisplay& operator=(const BusyDisplay&) = delete;

private:
    MainView& view_;
    bool framed_;
    bool& busy_;
};

}  // namespace

void MainLogic::RunCommand(const Command& command) {
    if (Refused() || !hardware_.device) return;
    std::string result;
    // Without the port nothing is touched: not the board, the buffer or the file name.
    const std::string refused = session_.Run(state_.PortBase, [&] {
        BusyDisplay display(view_, command.activity != nullptr, busy_);
        if (command.activity) ShowActivity(command.activity);
        result = (hardware_.device->*command.entry)(*this);
    });
    if (!refused.empty()) {
        view_.MessageBox(refused, command.title, Box::Error);
        return;
    }
    state_.ResultText = result;  // what this entry said, never an earlier command's
    const bool ok = result == device::kResultOk;
    switch (command.outcome) {
        case Outcome::Read:
            if (!ok) {  // nothing was read: the buffer still stands for its file
                view_.MessageBox(result, command.title, Box::Warning);
                break;
            }
            RememberFolder();
            state_.HexFileName.clear();
            RefreshFileLabel();
            RefreshGrid();
            ShowChecksum();
            view_.MessageBox("Data Reading Complete", command.title, Box::Information);
            break;
        case Outcome::Report: view_.MessageBox(result, command.title, Box::Information); break;
        case Outcome::Checked:
        case Outcome::Written:
            if (!ok)
                view_.MessageBox(result, command.title, command.failure);
            else
                view_.MessageBox(command.outcome == Outcome::Written ? WriteSuccessText() : command.success,
                                 command.title, Box::Information);
            break;
    }
}

void MainLogic::ShowProgress(uint16_t progressAddress) { view_.SetText(Ctl::stxAdres, device::Hex4(progressAddress)); }

void MainLogic::ShowActivity(std::string_view word) {
    view_.SetText(Ctl::stxCmd, "");
    view_.SetText(Ctl::stxCmd, std::string(word));
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

void MainLogic::mnuPortTestBoardClick() {
    if (Refused() || !hardware_.device) return;
    device::BoardReport report;
    {
        BusyDisplay display(view_, true, busy_);
        ShowActivity("Testing Board");
        report = device::RunBoardSelfTest(session_, hardware_.board, state_.PortBase,
                                          [this] { hardware_.device->BoardIdle(); });
    }
    view_.MessageBox(report.text, "TEST BOARD", report.Passed() ? Box::Information : Box::Error);
}

void MainLogic::PrepareBoard() {
    if (hardware_.device) hardware_.device->StartUpBoard();
    session_.Prepare(state_.PortBase);
}

}  // namespace shell
