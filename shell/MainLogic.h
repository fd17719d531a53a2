// The main window's logic shared by both programs: the refresh routines every
// command uses, the grid, Clear Buffer, the port menu and closing. Each program
// derives its own with the device list and the settings of its chips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/AppState.h"
#include "shell/BufferDialogs.h"
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

class MainLogic {
public:
    MainLogic(AppState& state, MainView& view, SettingsLocation settings)
        : state_(state), view_(view), settings_(std::move(settings)) {}
    virtual ~MainLogic() = default;
    MainLogic(const MainLogic&) = delete;
    MainLogic& operator=(const MainLogic&) = delete;

    // Window events.
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
    void strGridTopLeftChanged() { RefreshGrid(); }
    void mnuEditClearClick();
    void mnuPortLpt1Click() { SelectPort(0); }
    void mnuPortLpt2Click() { SelectPort(1); }
    void mnuPortLpt3Click() { SelectPort(2); }
    void mnuHelpAboutClick() { view_.ShowModal(Window::About); }
    void sbtAboutClick() { mnuHelpAboutClick(); }
    virtual void cboTypeChange() = 0;

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

    AppState& state_;
    MainView& view_;

private:
    void SelectPort(size_t index);
    // After Edit or Fill: the buffer stops standing for its file when the
    // device's part of it changed.
    void FollowUpBufferChange(const std::vector<uint16_t>& before);
    std::vector<uint16_t> DeviceRange() const;

    SettingsLocation settings_;
    EditBufferDialog editDialog_{state_.DataBuffer};
    FillBufferDialog fillDialog_{state_.DataBuffer};
};

}  // namespace shell
