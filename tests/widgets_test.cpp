// The real windows, headless: what the user sees and what reaches the logic.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "TempFolder.h"
#include "eeprom/DeviceInfoText.h"
#include "shell/CorvinaDevice.h"
#include "shell/QuillonDevice.h"
#include "shell/qt/FormBufferDialogs.h"
#include "shell/qt/FormAbout.h"
#include "shell/qt/FormDeviceInfo.h"
#include "shell/qt/FormMainCorvina.h"
#include "shell/qt/FormMainQuillon.h"
#include "shell/qt/FormSplash.h"
#include "sim/BenchBoard.h"

namespace test {
namespace {

using shell::Ctl;
using namespace shell::qt;

// Each window keeps its settings in a folder of the test's own.
struct Settings {
    TempFolder folder;
    sim::BenchBoard board;
    shell::SettingsLocation location() const { return shell::SettingsLocation("Test.set", {folder.path()}); }
    shell::Hardware hardware() { return {board.bench, board.timer, board.board}; }
};

template <class T>
T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(CorvinaWindow, FrameControlsAndMenus) {
    Settings settings;
    shell::CorvinaState state;
    TfrmMainCorvina window(state, settings.hardware(), settings.location());
    EXPECT_EQ(window.windowTitle(), "CORVINA Flash Programmer");
    EXPECT_EQ(window.centralWidget()->size(), QSize(554, 374));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    EXPECT_EQ(Child<QPushButton>(window, "cmdRead")->geometry(), QRect(16, 264, 81, 25));
    EXPECT_EQ(Child<QPushButton>(window, "cmdVerify")->geometry(), QRect(208, 263, 81, 25));
    EXPECT_EQ(Child<QPushButton>(window, "cmdSignature")->toolTip(), "Read uController Signature");
    EXPECT_EQ(Child<QTableView>(window, "strGrid")->geometry(), QRect(16, 64, 365, 175));
    EXPECT_EQ(Child<QLabel>(window, "stxCkSum")->text(), "F000");
    EXPECT_FALSE(Child<QLabel>(window, "stxCmd")->isVisibleTo(&window));
    EXPECT_FALSE(Child<QLabel>(window, "stxAdres")->isVisibleTo(&window));

    auto* type = Child<QComboBox>(window, "cboType");
    EXPECT_EQ(type->count(), 10);
    EXPECT_EQ(type->itemText(0), " Atmel  89C51");
    EXPECT_EQ(type->itemText(9), " Atmel  89C55WD");
    EXPECT_EQ(type->currentIndex(), 0);

    EXPECT_EQ(Child<QAction>(window, "mnuFileOpen")->text(), "&Open Program");
    EXPECT_EQ(Child<QAction>(window, "mnuFileExit")->shortcut(), QKeySequence(Qt::Key_F10));
    EXPECT_TRUE(Child<QAction>(window, "mnuPortLpt1")->isChecked());
    // Commands of later work are there, but cannot be used yet.
    for (const char* name : {"cmdRead", "cmdWrite", "cmdVerify", "cmdBlankChk", "cmdSignature"})
        EXPECT_FALSE(Child<QPushButton>(window, name)->isEnabled()) << name;
}

TEST(QuillonWindow, FrameControlsAndMenus) {
    Settings settings;
    shell::QuillonState state;
    TfrmMainQuillon window(state, settings.hardware(), settings.location());
    EXPECT_EQ(window.windowTitle(), "EEPROM  Programmer");
    EXPECT_EQ(Child<QPushButton>(window, "cmdVerify")->geometry(), QRect(112, 303, 81, 25));
    EXPECT_EQ(Child<QPushButton>(window, "cmdErase")->text(), "Era&se");
    EXPECT_EQ(Child<QLabel>(window, "stxCkSum")->text(), "E000");
    EXPECT_EQ(Child<QComboBox>(window, "cboType")->count(), 8);
    EXPECT_EQ(Child<QComboBox>(window, "cboWriteDelay")->currentText(), "  10 msec");
    EXPECT_EQ(Child<QLineEdit>(window, "edtBufEnd")->text(), "1FFF");
    EXPECT_EQ(Child<QLineEdit>(window, "edtBufEnd")->maxLength(), 4);
    EXPECT_EQ(Child<QAction>(window, "mnuDeviceInfo")->text(), "Device &Info");
}

TEST(QuillonWindow, ProgrammaticSelectionRunsNoHandlerButTheUsersDoes) {
    Settings settings;
    shell::QuillonState state;
    TfrmMainQuillon window(state, settings.hardware(), settings.location());
    auto* delay = Child<QComboBox>(window, "cboWriteDelay");
    window.SetItemIndex(Ctl::cboWriteDelay, 0);
    EXPECT_EQ(state.WriteDelayIndex, 4);
    EXPECT_EQ(state.WriteDelayTicks, 11932);

    window.SetItemIndex(Ctl::cboWriteDelay, 3);
    delay->setFocus();
    QTest::keyClick(delay, Qt::Key_Down);  // the user picks "  10 msec"
    EXPECT_EQ(state.WriteDelayIndex, 4);
    QTest::keyClick(delay, Qt::Key_Up);  // and then "   5  msec"
    EXPECT_EQ(state.WriteDelayIndex, 3);
    EXPECT_EQ(state.WriteDelayTicks, 5965);
}

TEST(QuillonWindow, AFieldIsCheckedWhenItLosesTheFocus) {
    Settings settings;
    shell::QuillonState state;
    TfrmMainQuillon window(state, settings.hardware(), settings.location());
    window.show();
    QApplication::setActiveWindow(&window);
    auto* start = Child<QLineEdit>(window, "edtBufStart");
    start->setFocus();
    start->selectAll();
    QTest::keyClicks(start, "3abc9");  // five keys: the field takes four, in upper case
    EXPECT_EQ(start->text(), "3ABC");
    Child<QLineEdit>(window, "edtBufEnd")->setFocus();
    EXPECT_EQ(start->text(), "0000");  // beyond the 28C64
    EXPECT_EQ(state.BufferStart, 0);
}

TEST(CorvinaWindow, ClicksAndMenuChoicesReachTheLogic) {
    Settings settings;
    shell::CorvinaState state;
    TfrmMainCorvina window(state, settings.hardware(), settings.location());
    window.show();
    QTest::mouseClick(Child<QCheckBox>(window, "chkLB2"), Qt::LeftButton);
    EXPECT_EQ(state.ProgramBits, 0x02);

    QAction* lpt2 = Child<QAction>(window, "mnuPortLpt2");
    lpt2->trigger();
    EXPECT_EQ(state.PortBase, 0x278);
    lpt2->trigger();  // the checked item again: it stays checked
    EXPECT_TRUE(lpt2->isChecked());
    EXPECT_FALSE(Child<QAction>(window, "mnuPortLpt1")->isChecked());
    EXPECT_EQ(state.PortBase, 0x278);
}

TEST(CorvinaWindow, ScrollingToTheEndShowsTheLastEightRows) {
    Settings settings;
    shell::CorvinaState state;
    TfrmMainCorvina window(state, settings.hardware(), settings.location());
    window.show();
    auto* grid = Child<QTableView>(window, "strGrid");
    state.DataBuffer[0x7FFF] = 0x0A;
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_EQ(window.GridTopRow(), 2041);
    const QAbstractItemModel* model = grid->model();
    EXPECT_EQ(model->data(model->index(2047, 15)).toString(), "0A");
    EXPECT_EQ(model->headerData(2040, Qt::Vertical).toString(), " 7F80");
    EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), "0F");
}

TEST(AboutBox, BeepsOnEveryShowingWithTheCreditLines) {
    int beeps = 0;
    TfrmAbout about(shell::Program::Quillon, nullptr, [&] { ++beeps; });
    EXPECT_EQ(about.windowTitle(), "About  Quillon");
    for (int showing = 1; showing <= 2; ++showing) {
        QTimer::singleShot(0, &about, &QDialog::accept);
        about.exec();
        EXPECT_EQ(beeps, showing);
    }
    EXPECT_FALSE(Child<QLabel>(about, "lblAboutM1")->text().isEmpty());
    EXPECT_EQ(Child<QLabel>(about, "lblAboutVer")->text(), "Version  1.0");
}

TEST(DeviceInfo, ShowsTheReadOnlyReferenceCard) {
    TfrmDeviceInfo info;
    EXPECT_EQ(info.windowTitle(), "Device Info");
    EXPECT_EQ(info.size(), QSize(353, 303));
    auto* text = Child<QPlainTextEdit>(info, "mmoDeviceInfo");
    EXPECT_TRUE(text->isReadOnly());
    const QStringList lines = text->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 35);
    EXPECT_EQ(lines[0], "     EEPROM  Write Delay Info");
    EXPECT_EQ(lines[29], "     M28C64-A       1 msec");
    EXPECT_EQ(lines[34], "     X28HC256       5 msec");
    for (const QString& line : lines) {
        if (line.startsWith("     ") && line.endsWith("msec")) EXPECT_EQ(line.size(), 26) << line.toStdString();
    }
}

TEST(Splash, FramelessOnTopAndGoneAfterItsTimer) {
    QPointer<TfrmSplash> splash = new TfrmSplash(shell::Program::Corvina);
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash->size(), QSize(548, 405));
    EXPECT_EQ(splash->Timer1()->interval(), 5000);
    EXPECT_TRUE(splash->Timer1()->isSingleShot());
    splash->show();
    splash->Timer1()->start(1);  // no need to wait five seconds here
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 2000));
}

TEST(CorvinaWindow, ExitSavesTheSettingsAndCloses) {
    Settings settings;
    shell::CorvinaState state;
    TfrmMainCorvina window(state, settings.hardware(), settings.location());
    window.show();
    window.Logic().mnuPortLpt3Click();
    Child<QAction>(window, "mnuFileExit")->trigger();
    EXPECT_FALSE(window.isVisible());
    const std::string bytes = TempFolder::Read(settings.folder / "Test.set");
    ASSERT_EQ(bytes.size(), 255u);
    EXPECT_EQ(bytes[2], 3);
}

// A device layer whose Read takes the time the test gives it.
struct SlowDevice : shell::DeviceLayer {
    std::function<void()> read;
    std::string BlankCheckDevice(device::ProgressSink&) override { return "OK"; }
    std::string ReadDevice(device::ProgressSink&) override {
        read();
        return "OK";
    }
    std::string WriteDevice(device::ProgressSink&) override { return "OK"; }
    std::string VerifyDevice(device::ProgressSink&) override { return "OK"; }
    void BoardIdle() override {}
};

TEST(CorvinaWindow, ALongCommandKeepsTheWindowAliveAndIsNeverCutOffByClosing) {
    Settings settings;
    SlowDevice device;
    shell::CorvinaState state;
    shell::Hardware hardware = settings.hardware();
    hardware.device = &device;
    TfrmMainCorvina window(state, hardware, settings.location());
    window.show();
    auto* read = Child<QPushButton>(window, "cmdRead");
    auto* label = Child<QLabel>(window, "stxAdres");
    ASSERT_TRUE(read->isEnabled());

    bool timerRan = false, openMeanwhile = false;
    QTimer::singleShot(0, &window, [&] { timerRan = true; });
    device.read = [&] {
        window.close();  // asked to close in the middle of the command
        window.SetText(Ctl::stxAdres, "00FF");
        EXPECT_EQ(label->text(), "00FF");
        EXPECT_TRUE(label->isVisible());
        EXPECT_TRUE(timerRan) << "the event loop's other work goes on while the labels change";
        openMeanwhile = window.isVisible();
    };
    QTimer closer;  // answers the outcome box when it comes
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    closer.start(20);
    read->click();
    EXPECT_TRUE(openMeanwhile) << "a command is never cut off by closing";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 2000)) << "the window closes afterwards";
    EXPECT_FALSE(label->isVisibleTo(&window));
}

// Closes each message box as it opens, keeping its title and text.
struct BoxCloser {
    std::vector<std::pair<QString, QString>> shown;
    QTimer closer;
    BoxCloser() {
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.emplace_back(box->windowTitle(), box->text());
                box->close();
            }
        });
        closer.start(20);
    }
};

// A parallel port this process may not use.
struct NoPort : io::PortIo {
    std::string Claim(uint16_t) override { return "Cannot reach the parallel port at 0x378."; }
    void Release() override {}
    void PortOut(uint16_t, uint16_t) override { ++touched; }
    uint16_t PortIn(uint16_t) override { return ++touched, 0xFF; }
    bool HasTimerPorts() const override { return false; }
    int touched = 0;
};

TEST(CorvinaWindow, WithoutThePortBlankCheckAndReadSayWhyAndTouchNothing) {
    Settings settings;
    NoPort port;
    io::SteadyClock clock;
    io::Timer timer(port, clock);
    io::Board board(port, timer);
    shell::CorvinaState state;
    shell::CorvinaDevice device(state, board);
    TfrmMainCorvina window(state, {port, timer, board, &device}, settings.location());
    window.show();
    BoxCloser boxes;
    const auto& shown = boxes.shown;
    for (const char* button : {"cmdBlankChk", "cmdRead"}) {
        auto* command = Child<QPushButton>(window, button);
        ASSERT_TRUE(command->isEnabled()) << button;
        command->click();
    }
    const std::vector<std::pair<QString, QString>> expected{
        {"BLANK CHECK", "Cannot reach the parallel port at 0x378."}, {"READ", "Cannot reach the parallel port at 0x378."}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(port.touched, 0);
}

// The Port menu of both windows: the three ports, then Test Board, whose
// report comes in a box.
template <class Window, class State, class Device>
void ExpectTestBoardInThePortMenu(const char* program) {
    SCOPED_TRACE(program);
    Settings settings;
    State state;
    Device device(state, settings.board.board);
    Window window(state, {settings.board.bench, settings.board.timer, settings.board.board, &device},
                  settings.location());
    window.show();
    QStringList items;
    for (QAction* item : Child<QMenu>(window, "mnuPort")->actions()) items << (item->isSeparator() ? "-" : item->text());
    EXPECT_EQ(items, (QStringList{"LPT-&1", "LPT-&2", "LPT-&3", "-", "&Test Board"}));
    BoxCloser boxes;
    const auto& shown = boxes.shown;
    Child<QAction>(window, "mnuPortTestBoard")->trigger();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "TEST BOARD");
    EXPECT_TRUE(shown[0].second.startsWith("The board answers at 0x378")) << shown[0].second.toStdString();
    EXPECT_FALSE(settings.board.bench.Lines().SupplyOn());
}

TEST(PortMenu, TestBoardReportsInABox) {
    ExpectTestBoardInThePortMenu<TfrmMainCorvina, shell::CorvinaState, shell::CorvinaDevice>("Corvina");
    ExpectTestBoardInThePortMenu<TfrmMainQuillon, shell::QuillonState, shell::QuillonDevice>("Quillon");
}

TEST(EditBufferWindow, TypingIsFilteredAndEnterSteps) {
    shell::Buffer buffer;
    buffer.fill(0xFF);
    shell::EditBufferDialog logic(buffer);
    TfrmEditBuffer dialog(logic);
    logic.Open();
    dialog.show();
    QLineEdit* data = dialog.Edit(shell::Field::edtData);
    data->setFocus();
    data->selectAll();
    QTest::keyClicks(data, "g-5 a7");  // only hex digits get in, upper case, two at most
    EXPECT_EQ(data->text(), "5A");
    QTest::keyClick(data, Qt::Key_Return);
    EXPECT_EQ(buffer[0], 0x5A);
    EXPECT_EQ(dialog.Edit(shell::Field::edtAdr)->text(), "0001");
    EXPECT_EQ(data->selectedText(), "FF");
    QTest::keyClick(data, Qt::Key_Escape);  // only the close box ends it
    EXPECT_TRUE(dialog.isVisible());
}

TEST(FillBufferWindow, EscapeCancels) {
    shell::Buffer buffer;
    shell::FillBufferDialog logic(buffer);
    TfrmFillBuffer dialog(logic);
    logic.Open();
    dialog.show();
    EXPECT_EQ(dialog.Edit(shell::Field::edtEnd)->text(), "7FFF");
    EXPECT_EQ(dialog.Edit(shell::Field::edtEnd)->maxLength(), 4);
    QTest::keyClick(dialog.Edit(shell::Field::edtStart), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(logic.BufferChanged());
}

}  // namespace
}  // namespace test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
