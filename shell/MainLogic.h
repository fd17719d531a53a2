// The main window's logic shared by both programs: the refresh routines every
// command uses, the grid, Clear Buffer, the port menu and closing. Each program
// derives its own with the device list and the settings of its chips.
#pragma once

#include <cstdint>
#include <string>

#include "shell/AppState.h"
#include "shell/MainView.h"

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
    MainLogic(AppState& state, MainView& view) : state_(state), view_(view) {}
    virtual ~MainLogic() = default;
    MainLogic(const MainLogic&) = delete;
    MainLogic& operator=(const MainLogic&) = delete;

    // Window events.
    void FormCreate();
    void mnuFileExitClick();
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

protected:
    // The program's defaults before anything is shown.
    virtual void StartUp() = 0;
    // Brings every control in line with the state after start-up.
    virtual void InitialRefresh() = 0;

    AppState& state_;
    MainView& view_;

private:
    void SelectPort(size_t index);
};

}  // namespace shell
