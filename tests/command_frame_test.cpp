// The frame around every device command, with a device layer of the test's own.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Programs.h"

namespace test {
namespace {

// What the window showed while an entry ran.
struct Seen {
    bool busy, statusBar, command, progress;
    std::string activity;
};

class TestDevice : public shell::DeviceLayer {
public:
    void Bind(shell::AppState& state, FakeMainView& view) {
        state_ = &state;
        view_ = &view;
    }

    std::string BlankCheckDevice(device::ProgressSink& p) override { return Run("BlankCheck", p); }
    std::string ReadDevice(device::ProgressSink& p) override {
        std::string text = Run("Read", p);
        for (size_t i = 0; i < 0x1000; ++i) state_->DataBuffer[i] = 0x5A;
        return text;
    }
    std::string WriteDevice(device::ProgressSink& p) override { return Run("Write", p); }
    std::string VerifyDevice(device::ProgressSink& p) override { return Run("Verify", p); }
    std::string EraseDevice(device::ProgressSink& p) override { return Run("Erase", p); }
    std::string ReadSignature(device::ProgressSink& p) override { return Run("Signature", p); }
    void BoardIdle() override { calls.push_back("BoardIdle"); }

    std::string result = "OK";  // what each entry returns
    bool throws = false;
    std::function<void()> during;
    std::vector<std::string> calls;
    std::vector<Seen> seen;

private:
    std::string Run(const char* entry, device::ProgressSink& progress) {
        calls.push_back(entry);
        seen.push_back({view_->busy, view_->Visible(Ctl::stsBar), view_->Visible(Ctl::stxCmd),
                        view_->Visible(Ctl::stxAdres), view_->Text(Ctl::stxCmd)});
        progress.ShowProgress(0x00FF);
        if (during) during();
        if (throws) throw std::runtime_error("board gone");
        return result;
    }
    shell::AppState* state_ = nullptr;
    FakeMainView* view_ = nullptr;
};

// A program whose device commands reach the test device.
template <class P>
struct Framed {
    TestDevice device;
    P program{false, &device};
    decltype(P::state)& state = program.state;
    FakeMainView& view = program.view;
    decltype(P::logic)& logic = program.logic;
    sim::BenchBoard& board = program.board;
    std::vector<std::string> startUpCalls;
    Framed() {
        device.Bind(state, view);
        logic.FormCreate();
        startUpCalls = device.calls;
        device.calls.clear();
    }
};

using CorvinaFrame = Framed<Corvina>;
using QuillonFrame = Framed<Quillon>;

void ExpectAtRest(const FakeMainView& view, const char* what) {
    EXPECT_TRUE(view.Visible(Ctl::stsBar)) << what;
    EXPECT_FALSE(view.Visible(Ctl::stxCmd)) << what;
    EXPECT_FALSE(view.Visible(Ctl::stxAdres)) << what;
    EXPECT_FALSE(view.busy) << what;
}

TEST(CommandFrame, StartUpPreparesTheTimerAndRestsTheBoard) {
    CorvinaFrame fresh;
    EXPECT_EQ(fresh.startUpCalls, std::vector<std::string>{"BoardIdle"});
    EXPECT_GT(fresh.board.bench.Writes(0x61), 0u) << "TimerInit wrote port 0x61";
    EXPECT_EQ(fresh.board.bench.UnclaimedAccesses(), 0u) << "with the port claimed";
    QuillonFrame q;
    EXPECT_EQ(q.startUpCalls, std::vector<std::string>{"BoardIdle"});
    EXPECT_EQ(q.board.bench.UnclaimedAccesses(), 0u);
}

TEST(CommandFrame, TheEntryRunsWithThePortClaimed) {
    CorvinaFrame c;
    c.device.during = [&] {
        c.board.board.ShiftOutData();
        c.board.board.ReadDataByte();
    };
    c.logic.cmdVerifyClick();
    c.logic.cmdSignatureClick();
    EXPECT_GT(c.board.bench.Writes(0x378), 0u);
    EXPECT_EQ(c.board.bench.UnclaimedAccesses(), 0u);
    c.board.bench.PortOut(0x378, 0x10);
    EXPECT_EQ(c.board.bench.UnclaimedAccesses(), 1u) << "released after the command";
}

TEST(CommandFrame, EachCommandShowsItsWordAndReportsWhatItsEntryReturned) {
    struct Case {
        const char* name;
        void (shell::CorvinaMain::*click)();
        const char* activity;
        const char* title;
        const char* okText;
        Box failureBox;
    };
    const Case cases[] = {
        {"BlankCheck", &shell::CorvinaMain::cmdBlankChkClick, "Blank Checking", "BLANK CHECK", "Blank Check O.K",
         Box::Warning},
        {"Write", &shell::CorvinaMain::cmdWriteClick, "Programming", "WRITE", "Programming/Verify OK", Box::Error},
        {"Verify", &shell::CorvinaMain::cmdVerifyClick, "Verifying", "VERIFY", "Verify OK", Box::Warning},
        {"Read", &shell::CorvinaMain::cmdReadClick, "Reading", "READ", "Data Reading Complete", Box::Warning},
    };
    // An entry that says nothing must not pass for a good one: an "OK" from an
    // earlier command is still in ResultText.
    for (const Case& k : cases) {
        for (const char* result : {"OK", "Buffer Verify Error @ Address  012A", ""}) {
            CorvinaFrame c;
            c.device.result = result;
            c.state.ResultText = "OK";
            c.state.HexFileName = "/w/a.hex";
            (c.logic.*k.click)();
            ASSERT_EQ(c.device.calls, std::vector<std::string>{k.name});
            const Seen& seen = c.device.seen[0];
            EXPECT_TRUE(seen.busy && !seen.statusBar && seen.command && seen.progress) << k.name;
            EXPECT_EQ(seen.activity, k.activity);
            ExpectAtRest(c.view, k.name);
            const bool ok = std::string(result) == "OK";
            EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{ok ? k.okText : result, k.title,
                                                            ok ? Box::Information : k.failureBox}}))
                << k.name << " " << result;
            EXPECT_EQ(c.state.ResultText, result);
            const bool dropsFile = ok && std::string(k.name) == "Read";
            EXPECT_EQ(c.state.HexFileName, dropsFile ? "" : "/w/a.hex") << "only a good Read drops the file";
        }
    }
}

TEST(CommandFrame, AGoodReadLeavesTheChipInTheBufferAndNoFileName) {
    CorvinaFrame c;
    c.state.HexFileName = "/home/ann/blink.hex";
    c.logic.cmdReadClick();
    EXPECT_EQ(c.device.seen[0].activity, "Reading");
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Data Reading Complete", "READ", Box::Information}}));
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.state.LastFolder, "/home/ann/");
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
    EXPECT_EQ(c.view.Cell(1, 1), "5A");
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "A000");
    ExpectAtRest(c.view, "Read");
}

TEST(CommandFrame, CorvinaWriteSaysLockBitsByTheProgramBitsAfterTheEntry) {
    CorvinaFrame c;
    c.logic.cmdWriteClick();
    EXPECT_EQ(c.view.boxes.back().text, "Programming/Verify OK");
    c.device.during = [&] { c.state.ProgramBits = 0x04; };  // the word is read after the entry
    c.logic.cmdWriteClick();
    EXPECT_EQ(c.view.boxes.back().text, "Programming/Verify OK\nLock Bits Programmed");
    EXPECT_FALSE(c.view.Checked(Ctl::chkLB3)) << "the frame looks at the word, not the boxes";
}

TEST(CommandFrame, QuillonErase) {
    QuillonFrame q;
    q.logic.cmdEraseClick();
    EXPECT_EQ(q.device.seen[0].activity, "Erasing");
    EXPECT_EQ(q.view.boxes.back(), (ShownBox{"Erasing OK", "ERASE", Box::Information}));
    q.device.result = "Erasing Error @ Device Address  0000\nData Read  =  00";
    q.logic.cmdEraseClick();
    EXPECT_EQ(q.view.boxes.back(), (ShownBox{q.device.result, "ERASE", Box::Warning}));
}

TEST(CommandFrame, SignatureHasNoFrameAndAlwaysInforms) {
    for (const char* report : {"", "Signature Bytes Info For 89C52\nByte-1  = 1E\nByte-2  = 52\nByte-3  = FF"}) {
        CorvinaFrame c;
        c.device.result = report;
        c.logic.cmdSignatureClick();
        const Seen& seen = c.device.seen[0];
        EXPECT_FALSE(seen.busy);
        EXPECT_TRUE(seen.statusBar);
        EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{report, "SIGNATURE", Box::Information}})) << "what the chip said";
    }
}

// Test Board runs on the selected port between two rests and tells its
// finding in the box: information for a board that answers, error otherwise.
TEST(CommandFrame, TestBoardReportsInItsBox) {
    for (const bool stuck : {false, true}) {
        QuillonFrame q;
        q.board.bench.StatusBit7(stuck ? std::optional<bool>(false) : std::nullopt);
        q.logic.mnuPortTestBoardClick();
        EXPECT_EQ(q.device.calls, (std::vector<std::string>{"BoardIdle", "BoardIdle"}));
        ASSERT_EQ(q.view.boxes.size(), 1u);
        EXPECT_EQ(q.view.boxes[0].title, "TEST BOARD");
        EXPECT_EQ(q.view.boxes[0].kind, stuck ? Box::Error : Box::Information);
        EXPECT_TRUE(q.view.boxes[0].text.starts_with(stuck ? "The board does not answer at 0x378" : "The board answers at 0x378"))
            << q.view.boxes[0].text;
        EXPECT_EQ(q.board.bench.UnclaimedAccesses(), 0u);
        ExpectAtRest(q.view, "after the test");
    }
}

TEST(CommandFrame, AnErrorInsideTheEntryRestsTheBoardAndTheDisplay) {
    CorvinaFrame c;
    c.device.throws = true;
    EXPECT_THROW(c.logic.cmdWriteClick(), std::runtime_error);
    EXPECT_EQ(c.device.calls, (std::vector<std::string>{"Write", "BoardIdle"}));
    ExpectAtRest(c.view, "after an error");
    EXPECT_FALSE(c.logic.Busy());
    EXPECT_TRUE(c.view.boxes.empty());
}

// A port that cannot be had.
struct RefusedPort : io::PortIo {
    std::string Claim(uint16_t base) override { return "no access to " + std::to_string(base); }
    void Release() override {}
    void PortOut(uint16_t, uint16_t) override { ++touched; }
    uint16_t PortIn(uint16_t) override { return ++touched, 0xFF; }
    bool HasTimerPorts() const override { return true; }
    int touched = 0;
};

TEST(CommandFrame, WithoutPortAccessNothingIsTouched) {
    TempFolder folder;
    shell::CorvinaState state;
    FakeMainView view;
    RefusedPort port;
    io::SteadyClock clock;
    io::Timer timer(port, clock);
    io::Board board(port, timer);
    TestDevice device;
    device.Bind(state, view);
    shell::CorvinaMain logic(state, view, {port, timer, board, &device},
                             shell::SettingsLocation("P.set", {folder.path()}));
    logic.FormCreate();
    state.HexFileName = "/w/a.hex";
    const shell::Buffer before = state.DataBuffer;
    const std::pair<const char*, void (shell::CorvinaMain::*)()> commands[] = {
        {"READ", &shell::CorvinaMain::cmdReadClick},
        {"WRITE", &shell::CorvinaMain::cmdWriteClick},
        {"SIGNATURE", &shell::CorvinaMain::cmdSignatureClick},
        {"TEST BOARD", &shell::CorvinaMain::mnuPortTestBoardClick},
    };
    for (auto [title, click] : commands) {
        view.boxes.clear();
        (logic.*click)();
        EXPECT_EQ(view.boxes, (std::vector<ShownBox>{{"no access to 888", title, Box::Error}})) << title;
    }
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(port.touched, 0);
    EXPECT_EQ(state.DataBuffer, before);
    EXPECT_EQ(state.HexFileName, "/w/a.hex");
    ExpectAtRest(view, "refused");
}

// The bench behind a port that cannot be had until the user picks another.
struct LateBench : io::PortIo {
    sim::Bench& bench;
    bool refuse = true;
    explicit LateBench(sim::Bench& b) : bench(b) {}
    std::string Claim(uint16_t base) override { return refuse ? "no port here" : bench.Claim(base); }
    void Release() override { bench.Release(); }
    void PortOut(uint16_t port, uint16_t value) override { bench.PortOut(port, value); }
    uint16_t PortIn(uint16_t port) override { return bench.PortIn(port); }
    bool HasTimerPorts() const override { return true; }
};

TEST(CommandFrame, TheFirstCommandAfterAStartUpWithoutThePortRestsTheBoardFirst) {
    TempFolder folder;
    shell::CorvinaState state;
    FakeMainView view;
    sim::Bench bench;
    LateBench port(bench);
    io::Timer timer(port, bench);
    io::Board board(port, timer);
    TestDevice device;
    device.Bind(state, view);
    shell::CorvinaMain logic(state, view, {port, timer, board, &device}, shell::SettingsLocation("P.set", {folder.path()}));
    logic.FormCreate();
    EXPECT_TRUE(device.calls.empty()) << "the start-up could not reach the board";
    port.refuse = false;
    logic.cmdReadClick();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"BoardIdle", "Read"}));
    EXPECT_GT(bench.Writes(0x61), 0u) << "the timer was prepared first";
    device.calls.clear();
    logic.cmdReadClick();
    EXPECT_EQ(device.calls, std::vector<std::string>{"Read"}) << "once is enough";
}

TEST(CommandFrame, WhileACommandRunsEveryHandlerIsRefused) {
    CorvinaFrame c;
    c.view.chosenFile = "/w/other.hex";
    c.state.HexFileName = "/w/a.hex";
    const shell::Buffer before = c.state.DataBuffer;
    c.device.during = [&] {
        // What a timer or a queued call could start while the labels keep the window alive.
        c.view.items[Ctl::cboType] = 6;
        c.logic.cboTypeChange();
        c.view.checked[Ctl::chkLB1] = true;
        c.logic.chkLB1Click();
        c.logic.mnuPortLpt2Click();
        c.logic.mnuPortTestBoardClick();
        c.logic.cmdReadClick();
        c.logic.cmdSignatureClick();
        c.logic.mnuFileOpenClick();
        c.logic.mnuFileSaveClick();
        c.logic.cmdReloadFileClick();
        c.logic.mnuEditClearClick();
        c.logic.mnuEditEditClick();
        c.logic.mnuEditFillClick();
        c.logic.mnuHelpAboutClick();
        c.logic.mnuFileExitClick();
    };
    c.logic.cmdWriteClick();
    EXPECT_EQ(c.device.calls, std::vector<std::string>{"Write"});
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Programming/Verify OK", "WRITE", Box::Information}}));
    EXPECT_EQ(c.state.DeviceType, 0);
    EXPECT_EQ(c.state.ProgramBits, 0);
    EXPECT_EQ(c.state.PortBase, 0x378);
    EXPECT_EQ(c.state.HexFileName, "/w/a.hex");
    EXPECT_EQ(c.state.DataBuffer, before);
    EXPECT_TRUE(c.view.dialogFolders.empty());
    EXPECT_TRUE(c.view.shown.empty());
    EXPECT_FALSE(c.view.closed);
    c.logic.mnuPortLpt2Click();
    EXPECT_EQ(c.state.PortBase, 0x278) << "after the command the handlers work again";
}

}  // namespace
}  // namespace test
