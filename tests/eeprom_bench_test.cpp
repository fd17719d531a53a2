// Every EEPROM on the bench with its datasheet model in the socket: what a
// user does with it, and what the model refuses when the timing is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeMainView.h"
#include "TempFolder.h"
#include "eeprom/EepromEntries.h"
#include "shell/AppState.h"
#include "shell/HexFile.h"
#include "shell/QuillonDevice.h"
#include "shell/QuillonMain.h"
#include "sim/BenchBoard.h"
#include "sim/EepromChip.h"

namespace test {
namespace {

enum Type : uint16_t { AT28C16, AT28C17, AT28C64, AT28C256, AT29C256, X2816, X2817, X2864 };
constexpr uint16_t k1ms = 1193, k10ms = 11932;

struct PartBench {
    uint16_t type;
    const eeprom::DeviceEntry& device;
    std::unique_ptr<sim::EepromChip> chip;
    sim::BenchBoard b;
    eeprom::EepromSocket socket{b.board};
    shell::Buffer image;
    device::NoProgress progress;

    explicit PartBench(uint16_t t) : type(t), device(*eeprom::FindDevice(t)), chip(sim::EepromChip::Make(device.chip)) {
        image.fill(shell::kErasedEntry);
        b.bench.Insert(chip.get());
        b.bench.Claim(0x378);
        eeprom::StartUpBoard(b.board);
        b.timer.TimerInit();
        eeprom::RestAtStart(socket);
    }
    eeprom::Window Whole() const { return {0, static_cast<uint16_t>(device.size - 1), 0}; }
    eeprom::Request Request(eeprom::Window w, uint16_t delay = k10ms) { return {type, image, progress, w, delay}; }
    std::string Write(eeprom::Window w, uint16_t delay = k10ms) { return eeprom::WriteDevice(socket, Request(w, delay)); }
    std::string Verify(eeprom::Window w) { return eeprom::VerifyDevice(socket, Request(w)); }
    std::string Erase() { return eeprom::EraseDevice(socket, Request(Whole())); }
    std::string BlankCheck() { return eeprom::BlankCheckDevice(socket, Request(Whole())); }
    void Read() { eeprom::ReadDevice(socket, Request(Whole())); }
};

std::string Hex(uint32_t value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

bool Recorded(const sim::EepromChip& chip, const std::string& start) {
    for (const std::string& v : chip.Violations())
        if (v.starts_with(start)) return true;
    return false;
}

void ExpectNoFault(const PartBench& p, const std::string& what) {
    EXPECT_EQ(p.chip->Violations(), std::vector<std::string>{}) << what;
    EXPECT_EQ(p.chip->Warnings(), std::vector<std::string>{}) << what;
    EXPECT_EQ(p.b.bench.UnclaimedAccesses(), 0u) << what;
}

class EveryPart : public ::testing::TestWithParam<uint16_t> {};

// The compiler's program over the whole device; the 29C256 keeps only the
// last byte of each 64-byte sector, since the board writes one byte a cycle.
TEST_P(EveryPart, WritesReadsErasesAndVerifiesItsWindow) {
    PartBench p(GetParam());
    const std::string what(p.device.chip);
    std::ifstream in(FIXTURES "/blink.ihx");
    ASSERT_EQ(shell::ReadHexStream(in, p.image), "OK");
    const shell::Buffer program = p.image;
    const std::string written = p.Write(p.Whole());
    if (p.type == AT29C256) {
        EXPECT_EQ(written, "Program Verify Error @ Device Address  0000\nData Read  =  FF\nProg Data   =  " +
                               Hex(program[0], 2));
    } else {
        EXPECT_EQ(written, "OK") << what;
        p.image.fill(0);
        p.Read();
        EXPECT_TRUE(std::equal(program.begin(), program.begin() + p.device.size, p.image.begin())) << what;
        p.image = program;
        p.image[0x0123] ^= 0x01;
        EXPECT_EQ(p.Verify(p.Whole()), "Buffer Verify Error @ Device Address  0123\nData Read  =  " +
                                           Hex(program[0x0123], 2) + "\nProg Data   =  " + Hex(p.image[0x0123], 2))
            << what;
    }
    EXPECT_EQ(p.Erase(), "OK") << what;
    EXPECT_TRUE(std::all_of(p.chip->State().memory.begin(), p.chip->State().memory.end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(p.BlankCheck(), "OK") << what;

    // A window: buffer 0x0010-0x001F to device 0x0100 (one byte per sector on the 29C256).
    const uint16_t step = p.type == AT29C256 ? 64 : 1;
    for (uint16_t i = 0; i < 16; ++i) p.image[0x10 + i] = static_cast<uint16_t>(0xA0 + i);
    for (uint16_t i = 0; i < 16; ++i) {
        const uint16_t at = static_cast<uint16_t>(0x100 + i * step);
        const eeprom::Window one{static_cast<uint16_t>(0x10 + i), static_cast<uint16_t>(0x10 + i), at};
        ASSERT_EQ(p.Write(one), "OK") << what << " " << at;
    }
    for (uint32_t a = 0; a < p.device.size; ++a) {
        const bool inWindow = a >= 0x100 && (a - 0x100) % step == 0 && (a - 0x100) / step < 16;
        const uint8_t expected = inWindow ? static_cast<uint8_t>(0xA0 + (a - 0x100) / step) : 0xFF;
        ASSERT_EQ(p.chip->State().memory[a], expected) << what << " at " << a;
    }
    if (p.type != AT29C256) EXPECT_EQ(p.Verify({0x10, 0x1F, 0x100}), "OK") << what;
    ExpectNoFault(p, what);
}

INSTANTIATE_TEST_SUITE_P(QuillonBench, EveryPart,
                         ::testing::Values(AT28C16, AT28C17, AT28C64, AT28C256, AT29C256, X2816, X2817, X2864),
                         [](const ::testing::TestParamInfo<uint16_t>& info) {
                             return std::string(eeprom::FindDevice(info.param)->chip);
                         });

TEST(QuillonBench, A29C256SectorWrittenByteByByteKeepsItsLastByteOnly) {
    PartBench p(AT29C256);
    for (uint16_t i = 0; i < 64; ++i) p.image[i] = i;
    EXPECT_EQ(p.Write({0x00, 0x3F, 0x0040}), "Program Verify Error @ Device Address  0040\nData Read  =  FF\nProg Data   =  00");
    EXPECT_EQ(p.chip->State().memory[0x7F], 63);
}

TEST(QuillonBench, AWriteDelayShorterThanThePartsCycleFailsVerify) {
    struct Case {
        uint16_t type, delay;
        const char* result;
    };
    const Case cases[] = {
        // The first byte's 10 ms cycle still runs when the check starts: the read is its data poll.
        {AT28C256, k1ms, "Program Verify Error @ Device Address  0000\nData Read  =  90\nProg Data   =  10"},
        {AT28C256, k10ms, "OK"},
        {AT28C16, k1ms, "OK"},
    };
    for (const Case& c : cases) {
        PartBench p(c.type);
        for (uint16_t a = 0; a < 4; ++a) p.image[a] = static_cast<uint16_t>(0x10 + a);
        EXPECT_EQ(p.Write({0, 3, 0}, c.delay), c.result) << c.type << " " << c.delay;
        EXPECT_EQ(Recorded(*p.chip, "write pulse during the write cycle"), std::string(c.result) != "OK");
    }
    PartBench slow(AT28C64);  // a part slower than the delay chosen for it
    slow.chip->SetWriteCycle(10'000'000);
    slow.image[0] = 0x00;
    slow.image[1] = 0x01;
    EXPECT_NE(slow.Write({0, 1, 0}, k1ms), "OK");
}

// A write the routine gets wrong: the part ignores it, the verify pass finds it.
TEST(QuillonBench, ThePartIgnoresWritesItCannotTake) {
    struct Case {
        const char* name;
        std::function<void(eeprom::EepromSocket&)> before;  // between the supply and the first byte
        const char* violation;
    };
    const Case cases[] = {
        {"output enable low", [](eeprom::EepromSocket& s) { s.EnableDeviceOutput(); }, "write pulse while /OE is low"},
        {"right after power-up",
         [](eeprom::EepromSocket& s) {
             s.PowerOff();  // and on again without the 500 ms wait
             s.ReleaseBus();
             s.PowerFlags &= ~0x80;
             s.ClearControlBit0();
             s.SendControlByte();
             s.SelectDevice();
         },
         "write pulse"},
    };
    for (const Case& k : cases) {
        PartBench p(AT28C17);
        eeprom::EepromSocket& s = p.socket;
        s.PrepareWriteLine();
        s.PowerOn();
        s.DisableDeviceOutput();
        s.SelectDevice();
        k.before(s);
        s.PresentAddress(0x10);
        s.DataByte = 0x42;
        s.ShiftOutData();
        s.PulseWrite();
        s.DelayWrite(k10ms);
        s.BoardIdle();
        EXPECT_EQ(p.chip->State().memory[0x10], 0xFF) << k.name;
        EXPECT_TRUE(Recorded(*p.chip, k.violation)) << k.name << ": " << ::testing::PrintToString(p.chip->Violations());
        p.image[0x10] = 0x42;
        EXPECT_EQ(p.Verify({0x10, 0x10, 0x10}), "Buffer Verify Error @ Device Address  0010\nData Read  =  FF\nProg Data   =  42");
    }
}

TEST(QuillonBench, AStuckLineAndAnEmptySocket) {
    PartBench stuck(AT28C64);
    stuck.b.bench.StuckDataLine(0, true);
    stuck.image[0] = 0x10;
    EXPECT_EQ(stuck.Write({0, 0, 0}), "Program Verify Error @ Device Address  0000\nData Read  =  11\nProg Data   =  10");
    EXPECT_NE(stuck.BlankCheck(), "") << "a stuck-high line still reads blank where the chip is";

    PartBench empty(AT28C64);
    empty.b.bench.Insert(nullptr);
    empty.image.fill(0);
    empty.Read();
    EXPECT_TRUE(std::all_of(empty.image.begin(), empty.image.begin() + 0x2000, [](uint16_t v) { return v == 0xFF; }));
    EXPECT_EQ(empty.BlankCheck(), "OK") << "an empty socket reads as a blank part";
    empty.image[5] = 0x55;
    EXPECT_EQ(empty.Write({0, 7, 0}), "Program Verify Error @ Device Address  0005\nData Read  =  FF\nProg Data   =  55");
}

// A user with a 28C16: open a file, write part of it to a window, read, verify, erase.
TEST(QuillonOnTheBench, OpenWindowWriteReadVerifyEraseThroughTheMainWindow) {
    shell::QuillonState state;
    FakeMainView view;
    TempFolder folder;
    sim::BenchBoard board;
    auto chip = sim::EepromChip::Make("28C16");
    board.bench.Insert(chip.get());
    shell::QuillonDevice device(state, board.board);
    shell::QuillonMain logic(state, view, {board.bench, board.timer, board.board, &device},
                             shell::SettingsLocation("Q.set", {folder.path()}));
    logic.FormCreate();
    view.items[Ctl::cboType] = AT28C16;
    logic.cboTypeChange();
    view.chosenFile = FIXTURES "/blink.ihx";
    logic.mnuFileOpenClick();
    const shell::Buffer opened = state.DataBuffer;
    for (auto [field, text] : {std::pair{Ctl::edtBufStart, "0000"}, {Ctl::edtBufEnd, "01FF"}, {Ctl::edtE2Start, "0100"}})
        view.texts[field] = text;
    logic.edtBufStartExit();
    logic.edtBufEndExit();
    logic.edtE2StartExit();

    view.labelTexts.clear();
    logic.cmdWriteClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Programming/Verify OK", "WRITE", Box::Information}));
    EXPECT_EQ(view.labelTexts, (std::vector<std::string>{"", "Programming", "01FF", "02FF", "", "Verifying", "01FF", "02FF"}));
    EXPECT_TRUE(std::equal(opened.begin(), opened.begin() + 0x200, chip->State().memory.begin() + 0x100));
    EXPECT_EQ(chip->State().memory[0x0FF], 0xFF);
    EXPECT_EQ(chip->State().memory[0x300], 0xFF);

    logic.cmdReadClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Data Reading Complete", "READ", Box::Information}));
    EXPECT_EQ(state.DataBuffer[0x100], opened[0]);
    view.texts[Ctl::edtE2Start] = "0000";
    view.texts[Ctl::edtBufStart] = "0100";
    view.texts[Ctl::edtBufEnd] = "02FF";
    logic.edtBufStartExit();
    logic.edtBufEndExit();
    logic.edtE2StartExit();
    logic.cmdVerifyClick();
    EXPECT_EQ(view.boxes.back().title, "VERIFY");
    EXPECT_EQ(view.boxes.back().kind, Box::Warning) << "device 0000 holds 0xFF, the buffer's 0x0100 the program";

    logic.cmdEraseClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Erasing OK", "ERASE", Box::Information}));
    logic.cmdBlankChkClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Blank Check O.K", "BLANK CHECK", Box::Information}));
    EXPECT_EQ(chip->Violations(), std::vector<std::string>{});
    EXPECT_EQ(board.bench.UnclaimedAccesses(), 0u);
}

}  // namespace
}  // namespace test
