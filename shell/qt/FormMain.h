// The main window as both programs share it. It builds the common controls,
// implements the view the logic talks to and forwards every user event to the
// logic; each program's window adds its own controls and wiring.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>

#include "shell/MainLogic.h"
#include "shell/MainView.h"
#include "shell/qt/MainWindowLayout.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace shell::qt {

class GridModel;

class TfrmMain : public QMainWindow, public MainView {
    Q_OBJECT
public:
    ~TfrmMain() override;

    // MainView
    void SetText(Ctl ctl, const std::string& text) override;
    std::string Text(Ctl ctl) const override;
    void SetVisible(Ctl ctl, bool visible) override;
    void SetEnabled(Ctl ctl, bool enabled) override;
    void SetItemIndex(Ctl list, int index) override;
    int ItemIndex(Ctl list) const override;
    void SetChecked(Ctl ctl, bool checked) override;
    bool Checked(Ctl ctl) const override;
    void SetStatusPanel(int panel, const std::string& text) override;
    void SetCell(int col, int row, const std::string& text) override;
    void SetColumn0Width(int pixels) override;
    int DefaultColumnWidth() const override;
    int GridTopRow() const override;
    void SetBusyCursor(bool busy) override;
    Answer MessageBox(const std::string& text, const std::string& title, Box kind) override;
    void ShowModal(Window window) override;
    void CloseMain() override;
    std::optional<std::string> OpenFileDialog(const std::string& folder) override;
    std::optional<std::string> SaveFileDialog(const std::string& folder) override;

    // Lets the desktop see the window alive during a long command; user input
    // still waits until the command ends.
    void KeepAlive();

    // The modal windows the menus open.
    void SetModalWindow(Window window, QWidget* dialog) { modal_[window] = dialog; }

    QWidget* Control(Ctl ctl) const;
    QAction* MenuItem(Ctl ctl) const;

protected:
    explicit TfrmMain(const MainWindowLayout& layout);

    // Connects the events of the shared controls; called once the logic exists.
    void WireCommon(MainLogic& logic);
    // A device command's button: usable once the program has a device layer.
    void WireDeviceCommand(QAbstractButton* button, const MainLogic& logic, std::function<void()> handler);
    // Runs a handler; an error that escapes it is shown and the program goes on.
    void Guard(const std::function<void()>& handler);

    QWidget* Client() const { return client_; }
    QPushButton* AddButton(const char* name, const QString& caption, const QString& hint, QPoint at);
    QLabel* AddLabel(const QString& caption, QPoint at, QWidget* parent = nullptr);
    QComboBox* AddList(Ctl ctl, const char* name, const QString& hint, QPoint at, int width, bool bold);
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption);
    void Register(Ctl ctl, QWidget* widget) { widgets_[ctl] = widget; }
    void Register(Ctl ctl, QAction* action) { actions_[ctl] = action; }

    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuHelp = nullptr;
    QComboBox* cboType = nullptr;

private:
    void BuildControls(const MainWindowLayout& layout);
    void BuildMenu(const MainWindowLayout& layout);
    void BuildStatusBar(const MainWindowLayout& layout);

    QWidget* client_ = nullptr;
    QTableView* strGrid_ = nullptr;
    GridModel* grid_ = nullptr;
    QWidget* stsBar_ = nullptr;
    QLabel* panels_[2] = {};
    std::map<Ctl, QWidget*> widgets_;
    std::map<Ctl, QAction*> actions_;
    std::map<Window, QWidget*> modal_;
    bool centred_ = false;
    MainLogic* logic_ = nullptr;
    bool closeWhenIdle_ = false;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace shell::qt
