// What the main-window logic needs from the window. The Qt window implements it;
// tests use a fake that records every call and answers from a script.
#pragma once

#include <optional>
#include <string>

namespace shell {

// Controls the logic reads or changes. Names are those of the window.
enum class Ctl {
    stxCkSum, stxCmd, stxAdres, stsBar, strGrid,
    cboType, cboWriteDelay,
    mnuPortLpt1, mnuPortLpt2, mnuPortLpt3,
    chkLB1, chkLB2, chkLB3, chkISP,
    edtBufStart, edtBufEnd, edtE2Start,
};

enum class Box {
    Information,   // OK
    Warning,       // OK
    Error,         // OK
    Plain,         // no icon, OK
    Question,      // Yes / No, No the default
    WarningYesNo,  // Yes / No, No the default
};

enum class Answer { Ok, Yes, No };

enum class Window { About, FillBuffer, EditBuffer, DeviceInfo };

class MainView {
public:
    virtual ~MainView() = default;

    virtual void SetText(Ctl ctl, const std::string& text) = 0;
    virtual std::string Text(Ctl ctl) const = 0;
    virtual void SetVisible(Ctl ctl, bool visible) = 0;
    virtual void SetEnabled(Ctl ctl, bool enabled) = 0;

    // Programmatic selection raises no change event.
    virtual void SetItemIndex(Ctl list, int index) = 0;
    virtual int ItemIndex(Ctl list) const = 0;

    // Menu check marks and check boxes. Setting one raises no event: the logic
    // runs a check box's handler itself where that matters.
    virtual void SetChecked(Ctl ctl, bool checked) = 0;
    virtual bool Checked(Ctl ctl) const = 0;

    virtual void SetStatusPanel(int panel, const std::string& text) = 0;

    // Grid cells by (column, row); row 0 and column 0 are the fixed headers.
    virtual void SetCell(int col, int row, const std::string& text) = 0;
    virtual void SetColumn0Width(int pixels) = 0;
    virtual int DefaultColumnWidth() const = 0;
    virtual int GridTopRow() const = 0;

    virtual void SetBusyCursor(bool busy) = 0;
    virtual Answer MessageBox(const std::string& text, const std::string& title, Box kind) = 0;
    virtual void ShowModal(Window window) = 0;
    virtual void CloseMain() = 0;

    // The file dialogs, opened in `folder` with an empty name; none on Cancel.
    virtual std::optional<std::string> OpenFileDialog(const std::string& folder) = 0;
    virtual std::optional<std::string> SaveFileDialog(const std::string& folder) = 0;
};

}  // namespace shell
