// The main window's logic shared by both programs: the refresh routines every
// command uses, the grid, the file commands, Clear, Edit and Fill, the port
// menu, the settings, the device-command frame and closing. Each program
// derives its own with the device list and the settings of its chips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/PortSession.h"
#include "device/Progress.h"
#include "shell/AppState.h"
#include "shell/BufferDialogs.h"
#include "shell/DeviceLayer.h"
#include "shell/MainView.h"
#include "shell/Settings.h"

namespace shell {

inline constexpr int kGridColumns = 17;
inline constexpr int kGridRows = 2049;
inline constexpr int kGridVisibleRows = 8;
inline constexpr int kGridEntriesPerRow = 16;

// The two file dialogs.
inline constexpr const char* kOpenDialogTitle = "Open Hex File";
inline constexpr const char* kSaveDialogTitle = "Save Hex File";
inline constexpr const char* kHexDefaultExt = "hex";
inline constexpr const char* kHexFilter = "Hex File (*.hex)|*.hex|All Files (*.*)|*.*";

class MainLogic : private device::ProgressSink {
public:
    MainLogic(AppState& state, MainView& view, Hardware hardware, SettingsLocation settings)
        : state_(state), view_(view), hardware_(hardware), settings_(std::move(settings)),
          session_(
              hardware.port, hardware.timer, hardware.board,
              [this] {
                  if (hardware_.device) hardware_.device->BoardIdle();
              },
              [this] {
                  if (hardware_.device) hardware_.device->RestAtStart();
              }) {}
    virtual ~MainLogic() = default;
    MainLogic(const MainLogic&) = delete;
    MainLogic& operator=(const MainLogic&) = delete;

    // Window events. While a device command runs, every handler is refused:
    // the labels' keep-alive must not start anything in the middle of it.
    void FormCreate();
    void FormClose() { SaveSettings(); }
    void mnuFileExitClick();
    void mnuFileOpenClick();
    void cmdOpenFileClick() { mnuFileOpenClick(); }
    void sbtOpenFileClick() { mnuFileOpenClick(); }
    void mnuFileSaveClick();
    void cmdSaveFileClick() { mnuFileSaveClick(); }
    void sbtSaveFileClick() { mnuFileSaveClick(); }
    void cmdReloadFileClick();
    void mnuEditEditClick();
    void mnuEditFillClick();
    void cmdBlankChkClick();
    void cmdReadClick();
    void cmdWriteClick();
    void cmdVerifyClick();
    void strGridTopLeftChanged();
    void mnuEditClearClick();
    void mnuPortLpt1Click() { SelectPort(0); }
    void mnuPortLpt2Click() { SelectPort(1); }
    void mnuPortLpt3Click() { SelectPort(2); }
    // The board self-test on the selected port; its report in a box.
    void mnuPortTestBoardClick();
    void mnuHelpAboutClick();
    void sbtAboutClick() { mnuHelpAboutClick(); }
    virtual void cboTypeChange() = 0;

    // A device command is running: the window must not close under it.
    bool Busy() const { return busy_; }
    bool HasDevice() const { return hardware_.device != nullptr; }

    // Shared refresh routines.
    void RefreshFileLabel();
    void RememberFolder();
    void RefreshPortMenu();
    void SetUpGridHeaders();
    void RefreshGrid();
    uint16_t BufferChecksum() const;
    void ShowChecksum();

    void LoadSettings();
    void SaveSettings();

    // The dialogs' logic; their windows attach to it.
    EditBufferDialog& EditDialog() { return editDialog_; }
    FillBufferDialog& FillDialog() { return fillDialog_; }

protected:
    // The program's defaults before anything is shown.
    virtual void StartUp() = 0;
    // Brings every control in line with the state after start-up.
    virtual void InitialRefresh() = 0;

    // The settings byte of the program's own, and the device types it knows.
    virtual uint8_t SecondSetting() const = 0;
    virtual void TakeSecondSetting(uint8_t value) = 0;
    virtual uint16_t DeviceTypeCount() const = 0;
    // What a good Write says.
    virtual std::string WriteSuccessText() const { return "Programming/Verify OK"; }

    // The start-up board values, then the timer prepared and the board put
    // at rest where the port can be had (otherwise the first command does it).
    void PrepareBoard();

    // One device command in its frame: busy display, the entry, the display
    // restored and the board at rest on every way out, then the outcome.
    enum class Outcome {
        Checked,  // "OK" gives the success text, anything else is shown in the failure box
        Written,  // the same, with the success text chosen after the entry has run
        Read,     // the buffer now holds the chip; the read always completes
        Report,   // the result text is the report (Signature)
    };
    struct Command {
        const char* activity;  // nullptr: no frame (Signature)
        const char* title;
        std::string (DeviceLayer::*entry)(device::ProgressSink&);
        Outcome outcome;
        const char* success = "";
        Box failure = Box::Warning;
    };
    void RunCommand(const Command& command);

    AppState& state_;
    MainView& view_;
    Hardware hardware_;

    // A device command is running: handlers are refused.
    bool Refused() const { return busy_; }

private:
    // The progress labels, as a routine moves on.
    void ShowProgress(uint16_t progressAddress) override;
    void ShowActivity(std::string_view word) override;

    void SelectPort(size_t index);
    // After Edit or Fill: the buffer stops standing for its file when the
    // device's part of it changed.
    void FollowUpBufferChange(const std::vector<uint16_t>& before);
    std::vector<uint16_t> DeviceRange() const;

    SettingsLocation settings_;
    device::PortSession session_;
    bool busy_ = false;
    EditBufferDialog editDialog_{state_.DataBuffer};
    FillBufferDialog fillDialog_{state_.DataBuffer};
};

}  // namespace shell
