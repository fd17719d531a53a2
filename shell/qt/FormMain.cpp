#include "shell/qt/FormMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QCloseEvent>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <exception>

#include "shell/qt/FormBufferDialogs.h"
#include "shell/qt/Fonts.h"
#include "shell/qt/Glyphs.h"
#include "shell/qt/GridModel.h"
#include "shell/qt/MessageBox.h"

namespace shell::qt {
namespace {

constexpr int kClientWidth = 554;
constexpr int kClientHeight = 374;
constexpr int kDefaultColumnWidth = 18;
constexpr int kGridLine = 1;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QToolButton* GlyphButton(QWidget* parent, const char* name, const QPixmap& glyph, const QString& hint, QPoint at) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(glyph));
    button->setIconSize(glyph.size());
    button->setToolTip(hint);
    button->setAutoRaise(false);
    button->setGeometry(at.x(), at.y(), 25, 25);
    return button;
}

}  // namespace

TfrmMain::TfrmMain(const MainWindowLayout& layout) {
    setObjectName("frmMain");
    setWindowTitle(layout.caption);
    // Fixed single border: system menu, minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    client_ = new QWidget(this);
    client_->setObjectName("client");
    client_->setFixedSize(kClientWidth, kClientHeight);
    client_->setFont(PixelFont("Arial", 12));
    setCentralWidget(client_);
    BuildMenu(layout);
    BuildControls(layout);
    BuildStatusBar(layout);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildMenu(const MainWindowLayout& layout) {
    QMenuBar* bar = menuBar();
    bar->setFont(PixelFont("Arial", 12));
    mnuFile = bar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    AddMenuItem(mnuFile, "mnuFileOpen", layout.openMenuCaption);
    AddMenuItem(mnuFile, "mnuFileSave", layout.saveMenuCaption);
    mnuFile->addSeparator();
    QAction* mnuFileExit = AddMenuItem(mnuFile, "mnuFileExit", "E&xit");
    mnuFileExit->setShortcut(QKeySequence(Qt::Key_F10));
    mnuFileExit->setShortcutContext(Qt::ApplicationShortcut);

    mnuEdit = bar->addMenu("&Edit");
    mnuEdit->setObjectName("mnuEdit");
    AddMenuItem(mnuEdit, "mnuEditClear", "Clear &Buffer");
    mnuEdit->addSeparator();
    AddMenuItem(mnuEdit, "mnuEditEdit", "E&dit Buffer");
    AddMenuItem(mnuEdit, "mnuEditFill", "&Fill  Buffer");

    QMenu* mnuPort = bar->addMenu("&Port");
    mnuPort->setObjectName("mnuPort");
    const Ctl ports[] = {Ctl::mnuPortLpt1, Ctl::mnuPortLpt2, Ctl::mnuPortLpt3};
    const char* names[] = {"mnuPortLpt1", "mnuPortLpt2", "mnuPortLpt3"};
    for (int i = 0; i < 3; ++i) {
        QAction* item = AddMenuItem(mnuPort, names[i], QString("LPT-&%1").arg(i + 1));
        item->setCheckable(true);
        Register(ports[i], item);
    }
    mnuPort->addSeparator();
    AddMenuItem(mnuPort, "mnuPortTestBoard", "&Test Board");

    mnuHelp = bar->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    AddMenuItem(mnuHelp, "mnuHelpAbout", "&About");
}

void TfrmMain::BuildControls(const MainWindowLayout& layout) {
    QWidget* c = client_;
    GlyphButton(c, "sbtOpenFile", OpenFolderGlyph(), "Open Hex File", {16, 8});
    GlyphButton(c, "sbtSaveFile", FloppyGlyph(), "Save Buffer to Hex File", {56, 8});
    GlyphButton(c, "sbtAbout", InfoGlyph(), layout.aboutHint, {120, 8});

    AddLabel("Type", layout.typeLabelAt);
    cboType = AddList(Ctl::cboType, "cboType", layout.typeHint, layout.typeListAt, layout.typeListWidth, true);
    AddLabel(layout.memoryLabel, {19, 46});

    strGrid_ = new QTableView(c);
    strGrid_->setObjectName("strGrid");
    grid_ = new GridModel(kGridColumns, kGridRows, strGrid_);
    strGrid_->setModel(grid_);
    strGrid_->setItemDelegate(new GridCellDelegate(strGrid_));
    strGrid_->setGeometry(16, 64, 365, 175);
    strGrid_->setToolTip(layout.gridHint);
    strGrid_->setFont(PixelFont("Arial", 11));
    strGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strGrid_->setSelectionMode(QAbstractItemView::NoSelection);
    strGrid_->setFocusPolicy(Qt::StrongFocus);
    strGrid_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    strGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    strGrid_->setCornerButtonEnabled(false);
    for (QHeaderView* header : {strGrid_->horizontalHeader(), strGrid_->verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setDefaultSectionSize(kDefaultColumnWidth + kGridLine);
        header->setMinimumSectionSize(kDefaultColumnWidth + kGridLine);
        header->setDefaultAlignment(Qt::AlignCenter);
        header->setHighlightSections(false);
        header->setSectionsClickable(false);
        header->setFont(PixelFont("Arial", 11));
    }
    strGrid_->horizontalHeader()->setFixedHeight(kDefaultColumnWidth + kGridLine);
    strGrid_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Register(Ctl::strGrid, strGrid_);

    AddLabel("CheckSum", layout.checksumLabelAt);
    auto* stxCkSum = new QLabel(" DCBA", c);
    stxCkSum->setObjectName("stxCkSum");
    stxCkSum->setGeometry(layout.checksumAt.x(), layout.checksumAt.y(), 41, 18);
    stxCkSum->setAlignment(Qt::AlignCenter);
    stxCkSum->setFont(PixelFont("Arial", 12, true));
    stxCkSum->setToolTip(layout.checksumHint);
    stxCkSum->setStyleSheet(QString("color: %1;").arg(layout.checksumColour.name()));
    Register(Ctl::stxCkSum, stxCkSum);

    const QString& chip = layout.chip;
    AddButton("cmdRead", "&Read", "Read from " + chip, {16, 264});
    AddButton("cmdWrite", "&Write", "Program " + chip, {112, 264});
    AddButton("cmdVerify", "&Verify", "Verify " + chip + " with Buffer", layout.verifyAt);
    AddButton("cmdOpenFile", "&Open File", "Open Hex File", {304, 264});
    AddButton("cmdBlankChk", "&Blank Check", chip + " Blank Check", {16, 304});
    AddButton("cmdReloadFile", "Reloa&d File", "Reload Current Hex File", {208, 304});
    AddButton("cmdSaveFile", "S&ave File", "Save Buffer to Hex File", {304, 304});

    auto* stxCmd = new QLabel(c);
    stxCmd->setObjectName("stxCmd");
    stxCmd->setGeometry(460, 312, 90, 18);
    stxCmd->setAlignment(Qt::AlignCenter);
    stxCmd->setFont(PixelFont("Arial Narrow", 13));
    stxCmd->hide();
    Register(Ctl::stxCmd, stxCmd);

    auto* stxAdres = new QLabel(c);
    stxAdres->setObjectName("stxAdres");
    stxAdres->setGeometry(460, 336, 91, 35);
    stxAdres->setAlignment(Qt::AlignCenter);
    stxAdres->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    stxAdres->setFont(PixelFont("Courier New", 27, true));
    stxAdres->setStyleSheet("QLabel { color: #00FF00; background: black; }");
    stxAdres->hide();
    Register(Ctl::stxAdres, stxAdres);
}

void TfrmMain::BuildStatusBar(const MainWindowLayout& layout) {
    stsBar_ = new QWidget(client_);
    stsBar_->setObjectName("stsBar");
    stsBar_->setGeometry(0, kClientHeight - 25, kClientWidth, 25);
    stsBar_->setFont(PixelFont("Arial", 12, true));
    const int widths[2] = {475, kClientWidth - 475 - 4};
    int left = 0;
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(stsBar_);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setGeometry(left, 2, widths[i], 23);
        left += widths[i] + 2;
    }
    panels_[1]->setText(layout.version);
    Register(Ctl::stsBar, stsBar_);
    stsBar_->lower();  // stxCmd and stxAdres stand over its right end
}

QPushButton* TfrmMain::AddButton(const char* name, const QString& caption, const QString& hint, QPoint at) {
    auto* button = new QPushButton(caption, client_);
    button->setObjectName(name);
    button->setGeometry(at.x(), at.y(), 81, 25);
    button->setToolTip(hint);
    button->setFont(PixelFont("MS Sans Serif", 11));
    button->setAutoDefault(false);
    return button;
}

QLabel* TfrmMain::AddLabel(const QString& caption, QPoint at, QWidget* parent) {
    auto* label = new QLabel(caption, parent ? parent : client_);
    label->move(at);
    label->adjustSize();
    return label;
}

QComboBox* TfrmMain::AddList(Ctl ctl, const char* name, const QString& hint, QPoint at, int width, bool bold) {
    auto* list = new QComboBox(client_);
    list->setObjectName(name);
    list->setEditable(false);
    list->setToolTip(hint);
    list->setFont(PixelFont("Arial", 12, bold));
    list->setGeometry(at.x(), at.y(), width, 22);
    Register(ctl, list);
    return list;
}

QAction* TfrmMain::AddMenuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

void TfrmMain::WireCommon(MainLogic& logic) {
    logic_ = &logic;
    auto* edit = new TfrmEditBuffer(logic.EditDialog(), this);
    auto* fill = new TfrmFillBuffer(logic.FillDialog(), this);
    SetModalWindow(Window::EditBuffer, edit);
    SetModalWindow(Window::FillBuffer, fill);

    const std::pair<const char*, void (MainLogic::*)()> buttons[] = {
        {"sbtOpenFile", &MainLogic::sbtOpenFileClick}, {"cmdOpenFile", &MainLogic::cmdOpenFileClick},
        {"sbtSaveFile", &MainLogic::sbtSaveFileClick}, {"cmdSaveFile", &MainLogic::cmdSaveFileClick},
        {"cmdReloadFile", &MainLogic::cmdReloadFileClick}, {"sbtAbout", &MainLogic::sbtAboutClick},
    };
    for (const auto& [name, handler] : buttons)
        connect(findChild<QAbstractButton*>(name), &QAbstractButton::clicked, this,
                [this, &logic, handler = handler] { Guard([&] { (logic.*handler)(); }); });
    const std::pair<const char*, void (MainLogic::*)()> items[] = {
        {"mnuFileOpen", &MainLogic::mnuFileOpenClick},
        {"mnuFileSave", &MainLogic::mnuFileSaveClick},
        {"mnuEditEdit", &MainLogic::mnuEditEditClick},
        {"mnuEditFill", &MainLogic::mnuEditFillClick},
        {"mnuEditClear", &MainLogic::mnuEditClearClick},
        {"mnuFileExit", &MainLogic::mnuFileExitClick},
        {"mnuHelpAbout", &MainLogic::mnuHelpAboutClick},
        {"mnuPortTestBoard", &MainLogic::mnuPortTestBoardClick},
    };
    for (const auto& [name, handler] : items)
        connect(findChild<QAction*>(name), &QAction::triggered, this,
                [this, &logic, handler = handler] { Guard([&] { (logic.*handler)(); }); });
    const std::pair<const char*, void (MainLogic::*)()> commands[] = {
        {"cmdBlankChk", &MainLogic::cmdBlankChkClick},
        {"cmdRead", &MainLogic::cmdReadClick},
        {"cmdWrite", &MainLogic::cmdWriteClick},
        {"cmdVerify", &MainLogic::cmdVerifyClick},
    };
    for (const auto& [name, handler] : commands)
        WireDeviceCommand(findChild<QAbstractButton*>(name), logic, [&logic, handler = handler] { (logic.*handler)(); });
    connect(cboType, &QComboBox::activated, this, [this, &logic] { Guard([&] { logic.cboTypeChange(); }); });
    connect(strGrid_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this, &logic] { Guard([&] { logic.strGridTopLeftChanged(); }); });

    // A checkable item flips its own mark before it reports the click; put the
    // mark back, the logic decides what is checked.
    const std::pair<Ctl, void (MainLogic::*)()> ports[] = {
        {Ctl::mnuPortLpt1, &MainLogic::mnuPortLpt1Click},
        {Ctl::mnuPortLpt2, &MainLogic::mnuPortLpt2Click},
        {Ctl::mnuPortLpt3, &MainLogic::mnuPortLpt3Click},
    };
    for (const auto& [ctl, handler] : ports) {
        QAction* item = actions_.at(ctl);
        connect(item, &QAction::triggered, this, [this, item, &logic, handler = handler](bool checked) {
            item->setChecked(!checked);
            Guard([&] { (logic.*handler)(); });
        });
    }
}

void TfrmMain::WireDeviceCommand(QAbstractButton* button, const MainLogic& logic, std::function<void()> handler) {
    button->setEnabled(logic.HasDevice());
    connect(button, &QAbstractButton::clicked, this, [this, handler = std::move(handler)] { Guard(handler); });
}

void TfrmMain::KeepAlive() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmMain::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        QMessageBox::critical(this, windowTitle(), QString::fromLocal8Bit(error.what()));
    }
    if (closeWhenIdle_ && !(logic_ && logic_->Busy())) {
        closeWhenIdle_ = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

QWidget* TfrmMain::Control(Ctl ctl) const {
    auto it = widgets_.find(ctl);
    return it == widgets_.end() ? nullptr : it->second;
}

QAction* TfrmMain::MenuItem(Ctl ctl) const {
    auto it = actions_.find(ctl);
    return it == actions_.end() ? nullptr : it->second;
}

void TfrmMain::SetText(Ctl ctl, const std::string& text) {
    QWidget* widget = widgets_.at(ctl);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Q(text));
        // Device commands hold the thread: draw now, not at the next event.
        if (label->isVisible()) label->repaint();
        if (logic_ && logic_->Busy()) KeepAlive();
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(Q(text));
    }
}

std::string TfrmMain::Text(Ctl ctl) const {
    QWidget* widget = widgets_.at(ctl);
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
    return {};
}

void TfrmMain::SetVisible(Ctl ctl, bool visible) { widgets_.at(ctl)->setVisible(visible); }

void TfrmMain::SetEnabled(Ctl ctl, bool enabled) {
    // The grid is refilled within one call; holding back its repaint keeps user
    // input out just as well, without moving the keyboard focus away from it.
    if (ctl == Ctl::strGrid)
        strGrid_->viewport()->setUpdatesEnabled(enabled);
    else
        widgets_.at(ctl)->setEnabled(enabled);
}

void TfrmMain::SetItemIndex(Ctl list, int index) {
    // Only `activated` is wired, which a programmatic selection never raises.
    qobject_cast<QComboBox*>(widgets_.at(list))->setCurrentIndex(index);
}

int TfrmMain::ItemIndex(Ctl list) const { return qobject_cast<QComboBox*>(widgets_.at(list))->currentIndex(); }

void TfrmMain::SetChecked(Ctl ctl, bool checked) {
    if (QAction* item = MenuItem(ctl)) {
        item->setChecked(checked);
    } else if (auto* box = qobject_cast<QAbstractButton*>(widgets_.at(ctl))) {
        box->setChecked(checked);  // only `clicked` is wired, which this does not raise
    }
}

bool TfrmMain::Checked(Ctl ctl) const {
    if (QAction* item = MenuItem(ctl)) return item->isChecked();
    auto* box = qobject_cast<QAbstractButton*>(widgets_.at(ctl));
    return box && box->isChecked();
}

void TfrmMain::SetStatusPanel(int panel, const std::string& text) {
    if (panel >= 0 && panel < 2) panels_[panel]->setText(Q(text));
}

void TfrmMain::SetCell(int col, int row, const std::string& text) { grid_->SetCell(col, row, Q(text)); }

void TfrmMain::SetColumn0Width(int pixels) { strGrid_->verticalHeader()->setFixedWidth(pixels + kGridLine); }

int TfrmMain::DefaultColumnWidth() const { return kDefaultColumnWidth; }

int TfrmMain::GridTopRow() const { return strGrid_->verticalScrollBar()->value() + 1; }

void TfrmMain::SetBusyCursor(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
}

Answer TfrmMain::MessageBox(const std::string& text, const std::string& title, Box kind) {
    return ShowMessageBox(this, Q(text), Q(title), kind);
}

void TfrmMain::ShowModal(Window window) {
    auto it = modal_.find(window);
    if (it == modal_.end()) return;
    if (auto* dialog = qobject_cast<QDialog*>(it->second)) dialog->exec();
}

void TfrmMain::CloseMain() { close(); }

namespace {

// "Hex File (*.hex)|*.hex|..." as the file dialogs take it: the descriptions,
// which carry their patterns, one after the other.
QString DialogFilter() {
    const QStringList parts = QString(kHexFilter).split('|');
    QStringList descriptions;
    for (int i = 0; i < parts.size(); i += 2) descriptions << parts[i];
    return descriptions.join(";;");
}

std::optional<std::string> RunFileDialog(QWidget* parent, const char* title, const std::string& folder,
                                         QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, Q(folder), DialogFilter());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(kHexDefaultExt);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks itself
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::optional<std::string> TfrmMain::OpenFileDialog(const std::string& folder) {
    return RunFileDialog(this, kOpenDialogTitle, folder, QFileDialog::AcceptOpen);
}

std::optional<std::string> TfrmMain::SaveFileDialog(const std::string& folder) {
    return RunFileDialog(this, kSaveDialogTitle, folder, QFileDialog::AcceptSave);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Never in the middle of a write: the window closes once the command is over.
    if (logic_ && logic_->Busy()) {
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    if (logic_) Guard([this] { logic_->FormClose(); });
    QMainWindow::closeEvent(event);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace shell::qt
