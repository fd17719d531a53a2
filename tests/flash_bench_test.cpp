// Every chip on the bench with its datasheet model in the socket: what a user
// does with it, and what the model refuses when a routine gets it wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/PortSession.h"
#include "flash/FlashEntries.h"
#include "flash/Passes.h"
#include "flash/StandardFamily.h"
#include "FakeMainView.h"
#include "TempFolder.h"
#include "shell/AppState.h"
#include "shell/CorvinaDevice.h"
#include "shell/CorvinaMain.h"
#include "shell/HexFile.h"
#include "sim/BenchBoard.h"
#include "sim/FlashChip.h"

namespace test {
namespace {

enum Type : uint16_t {
    AT89C51, AT89C52, AT89C55, AT89C1051, AT89C1051U, AT89C2051, AT89C4051, AT89S53, AT89S8252, AT89C55WD, AT89C51RC
};

// A chip of the type in the socket of a board at rest, and the buffer.
struct ChipBench {
    uint16_t type;
    const flash::DeviceEntry& device;
    std::unique_ptr<sim::FlashChip> chip;
    sim::BenchBoard b;
    flash::FlashSocket socket{b.board};
    shell::Buffer image;
    device::NoProgress progress;

    explicit ChipBench(uint16_t t, bool seated = true)
        : type(t), device(*flash::FindDevice(t)), chip(sim::FlashChip::Make(device.chip)) {
        image.fill(shell::kErasedEntry);
        if (seated) b.bench.Insert(chip.get());
        b.bench.Claim(0x378);
        flash::StartUpBoard(b.board);
        b.timer.TimerInit();
        flash::BoardIdle(socket, type);
    }
    flash::Request Request(uint16_t programBits = 0) { return {type, image, progress, programBits}; }
    std::string Write(uint16_t bits = 0) { return flash::WriteDevice(socket, Request(bits)); }
    std::string Verify() { return flash::VerifyDevice(socket, Request()); }
    std::string BlankCheck() { return flash::BlankCheckDevice(socket, Request()); }
    std::string Signature() { return flash::ReadSignature(socket, Request()); }
    flash::Job Job() { return {socket, device, image, progress}; }
};

// What the model may warn of when the routines run as designed: the board's
// shortest pulse is longer than the WD erase wants, and the 20-pin lock pulse
// is a tick over its 110 us.
bool ExpectedWarning(const std::string& text) {
    return text.starts_with("erase pulse longer") || text.starts_with("Lock Bit-1 pulse longer") ||
           text.starts_with("Lock Bit-2 pulse longer");
}

void ExpectNoFault(const ChipBench& c, const std::string& what) {
    EXPECT_EQ(c.chip->Violations(), std::vector<std::string>{}) << what;
    for (const std::string& w : c.chip->Warnings()) EXPECT_TRUE(ExpectedWarning(w)) << what << ": " << w;
    EXPECT_EQ(c.b.bench.UnclaimedAccesses(), 0u) << what;
}

// Images: a program from a real compiler, one that fills the whole chip, one with gaps.
enum class Image { Sdcc, Full, Gaps };

void Fill(shell::Buffer& image, Image kind, uint32_t size) {
    image.fill(shell::kErasedEntry);
    if (kind == Image::Sdcc) {
        std::ifstream in(FIXTURES "/blink.ihx");
        ASSERT_EQ(shell::ReadHexStream(in, image), "OK");
        return;
    }
    uint32_t x = 0x12345678;
    for (uint32_t a = 0; a < size; ++a) {
        x = x * 1103515245u + 12345u;
        const bool gap = kind == Image::Gaps && (a / 300) % 2 == 1;
        image[a] = gap ? 0xFF : static_cast<uint16_t>((x >> 16) & 0xFF);
    }
}

std::string Hex(uint32_t value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

struct SignatureCase {
    uint16_t type;
    const char* report;
};

const SignatureCase kSignatures[] = {
    {AT89C51, "Signature Bytes Info For 89C51\nByte-1  = 1E\nByte-2  = 51\nByte-3  = FF"},
    {AT89C52, "Signature Bytes Info For 89C52\nByte-1  = 1E\nByte-2  = 52\nByte-3  = FF"},
    {AT89C55, "Signature Bytes Info For 89C55\nByte-1  = 1E\nByte-2  = 55\nByte-3  = FF"},
    {AT89C1051, "Signature Bytes Info For 89C1051\nByte-1  = 1E\nByte-2  = 11"},
    {AT89C1051U, "Signature Bytes Info For 89C1051\nByte-1  = 1E\nByte-2  = 12"},
    {AT89C2051, "Signature Bytes Info For 89C2051\nByte-1  = 1E\nByte-2  = 21"},
    {AT89C4051, "Signature Bytes Info For 89C4051\nByte-1  = 1E\nByte-2  = 41"},
    {AT89S53, "Signature & Program Bits Info For 89S53\nByte-1          1E\nByte-2          53\nLock Bit-1    OFF"
              "\nLock Bit-2    OFF\nLock Bit-3    OFF\nISP Bit         ON"},
    {AT89S8252, "Signature & Program Bits Info For 89S8252\nByte-1          1E\nByte-2          72\nLock Bit-1    OFF"
                "\nLock Bit-2    OFF\nLock Bit-3    OFF\nISP Bit         ON"},
    {AT89C55WD, "Signature & Program Bits Info For 89C55WD\nByte-1         1E\nByte-2         55\nByte-3         FF"
                "\nLock Bit-1    OFF\nLock Bit-2    OFF\nLock Bit-3    OFF"},
    {AT89C51RC, "Signature & Program Bits Info For 89C51RC\nByte-1         1E\nByte-2         51\nByte-3         07"
                "\nLock Bit-1    OFF\nLock Bit-2    OFF\nLock Bit-3    OFF"},
};

// One chip a case, so that the chips run side by side.
class EveryChip : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(EveryChip, TakesItsImageGivesItBackAndNamesItself) {
    const SignatureCase& s = GetParam();
    {
        for (Image kind : {Image::Sdcc, Image::Full, Image::Gaps}) {
            ChipBench c(s.type);
            const std::string what = std::string(c.device.chip) + " image " + std::to_string(int(kind));
            Fill(c.image, kind, c.device.size);
            const shell::Buffer written = c.image;
            ASSERT_EQ(c.Write(), "OK") << what;
            for (uint32_t a = 0; a < c.device.size; ++a)
                ASSERT_EQ(c.chip->State().memory[a], written[a]) << what << " at " << a;
            c.image.fill(0);
            flash::ReadDevice(c.socket, c.Request());
            EXPECT_TRUE(std::equal(written.begin(), written.begin() + c.device.size, c.image.begin())) << what;
            EXPECT_EQ(c.Verify(), "OK") << what;
            uint32_t first = 0;
            while (written[first] == 0xFF) ++first;
            EXPECT_EQ(c.BlankCheck(), "Blank Check Error @ Address  " + Hex(first, 4) + "\nData Read  =  " +
                                          Hex(written[first], 2))
                << what;
            EXPECT_EQ(c.Signature(), s.report) << what;
            ExpectNoFault(c, what);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FlashBench, EveryChip, ::testing::ValuesIn(kSignatures),
                         [](const ::testing::TestParamInfo<SignatureCase>& info) {
                             return std::string(flash::FindDevice(info.param.type)->chip);
                         });

// The SRecord file's 3000 bytes at 0x2345, with the chip empty below them.
TEST(FlashBench, AnImageAboveAGapFromAnotherToolOnTheLargeChips) {
    for (uint16_t type : {AT89C55, AT89S53, AT89C55WD, AT89C51RC}) {
        ChipBench c(type);
        std::ifstream in(FIXTURES "/srec_cat-offset-2345.hex");
        ASSERT_EQ(shell::ReadHexStream(in, c.image), "OK");
        EXPECT_EQ(c.Write(), "OK") << c.device.chip;
        EXPECT_EQ(c.BlankCheck(), "Blank Check Error @ Address  2345\nData Read  =  " + Hex(c.image[0x2345], 2));
        ExpectNoFault(c, std::string(c.device.chip));
    }
}

// A write that leaves out the erase: cells only go from 1 to 0, and the verify
// pass finds the first byte that needed a 0 turned back into a 1.
device::Outcome WriteWithoutErase(ChipBench& c) {
    flash::Job job = c.Job();
    flash::FlashSocket& s = c.socket;
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();
    s.ControlByte = flash::standard::kWriteCode;
    s.SendControlByte();
    flash::ProgramPass(job, flash::standard::ProgramByte);
    s.SetControlBit1();
    s.Delay500ms();
    s.ControlByte = flash::standard::kReadCode;
    s.DisableDeviceOutput();
    const device::Outcome outcome = flash::ReadPass(job, flash::PassCheck::Compare, flash::standard::ReadStep);
    s.BoardIdle();
    return outcome;
}

TEST(FlashBench, WithoutAnEraseTheVerifyFails) {
    ChipBench c(AT89C52);
    c.image[0x10] = 0x0F;
    ASSERT_EQ(c.Write(), "OK");
    c.image[0x10] = 0xF0;  // needs bits 4-7 back at 1
    EXPECT_EQ(WriteWithoutErase(c), device::Outcome::FailedAt(0x10, 0x00, 0xF0));
    EXPECT_EQ(c.Write(), "OK") << "with its erase the write takes";
}

bool Recorded(const sim::FlashChip& chip, const std::string& start) {
    for (const std::string& v : chip.Violations())
        if (v.starts_with(start)) return true;
    return false;
}

bool Recorded(const ChipBench& c, const std::string& start) {
    for (const std::string& v : c.chip->Violations())
        if (v.starts_with(start)) return true;
    return false;
}

TEST(FlashBench, AnErasePulseShorterThan10msErasesNothing) {
    ChipBench c(AT89C52);
    c.image[0] = 0x00;
    ASSERT_EQ(c.Write(), "OK");
    flash::FlashSocket& s = c.socket;
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ControlByte = flash::standard::kChipErase;
    s.SendControlByte();
    s.ClearControlBit1();
    s.Delay12us();
    s.SetControlBit0();
    s.Delay100us();
    s.ClearControlBit0();
    s.BoardIdle();
    EXPECT_EQ(c.BlankCheck(), "Blank Check Error @ Address  0000\nData Read  =  00");
    EXPECT_TRUE(Recorded(c, "erase pulse too short")) << ::testing::PrintToString(c.chip->Violations());
}

TEST(FlashBench, WithoutProgrammingVoltageNothingIsProgrammed) {
    ChipBench c(AT89C52);
    c.image[0x40] = 0x12;
    flash::Job job = c.Job();
    flash::FlashSocket& s = c.socket;
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ControlByte = flash::standard::kWriteCode;  // no ClearControlBit1
    s.SendControlByte();
    flash::ProgramPass(job, flash::standard::ProgramByte);
    s.BoardIdle();
    EXPECT_EQ(c.Verify(), "Buffer Verify Error @ Address  0040\nData Read  =  FF\nProg Data   =  12");
    EXPECT_TRUE(Recorded(c, "write pulse without programming voltage at 0x0040"));
}

// What goes wrong outside the routine: each fault shows in the write's verify pass.
TEST(FlashBench, AFaultyChipOrBoardFailsTheWriteAtItsFirstBadByte) {
    struct Case {
        const char* name;
        uint16_t type;
        std::function<void(ChipBench&)> fault;
        const char* result;
        const char* violation;  // what the model recorded, if it is the chip's doing
    };
    const Case cases[] = {
        {"a part slower than the routine's 2 ms", AT89C52, [](ChipBench& c) { c.chip->SetWriteCycle(5'000'000); },
         "Program Verify Error @ Address  0001\nData Read  =  FF\nProg Data   =  11", "write pulse during write cycle"},
        {"a WD part slower than its 100 us", AT89C51RC, [](ChipBench& c) { c.chip->SetWriteCycle(2'000'000); },
         "Program Verify Error @ Address  0001\nData Read  =  FF\nProg Data   =  11", "write pulse during write cycle"},
        {"an empty socket", AT89C4051, [](ChipBench& c) { c.b.bench.Insert(nullptr); },
         "Program Verify Error @ Address  0000\nData Read  =  FF\nProg Data   =  10", nullptr},
        {"data line 4 stuck low", AT89S8252, [](ChipBench& c) { c.b.bench.StuckDataLine(4, false); },
         "Program Verify Error @ Address  0000\nData Read  =  00\nProg Data   =  10", nullptr},
        {"a byte that will not program", AT89C1051, [](ChipBench& c) { c.chip->WillNotProgram(2); },
         "Program Verify Error @ Address  0002\nData Read  =  FF\nProg Data   =  12", nullptr},
    };
    for (const Case& k : cases) {
        ChipBench c(k.type);
        for (uint16_t a = 0; a < 4; ++a) c.image[a] = static_cast<uint16_t>(0x10 + a);
        k.fault(c);
        EXPECT_EQ(c.Write(), k.result) << k.name;
        if (k.violation) EXPECT_TRUE(Recorded(c, k.violation)) << k.name;
    }
}

TEST(FlashBench, LockBit1StopsProgrammingUntilTheNextErase) {
    ChipBench c(AT89C52);
    c.image[0] = 0x0F;
    ASSERT_EQ(c.Write(flash::kLockBit1), "OK");
    c.image[0] = 0x03;  // only 1s to 0s: programming alone would do
    EXPECT_EQ(WriteWithoutErase(c), device::Outcome::FailedAt(0, 0x0F, 0x03));
    EXPECT_TRUE(Recorded(c, "programming refused: Lock Bit-1"));
    EXPECT_EQ(c.Write(), "OK") << "the erase clears the lock bits";
}

TEST(FlashBench, LockBit2StopsVerify) {
    for (uint16_t type : {AT89C52, AT89C2051, AT89S53, AT89C51RC}) {
        ChipBench c(type);
        c.image[0] = 0x5A;
        ASSERT_EQ(c.Write(flash::kLockBit2), "OK") << "the write verifies before it locks";
        c.b.timer.Delay10ms();  // the WD family's lock bits take effect after 10 ms
        EXPECT_EQ(c.Verify(), "Buffer Verify Error @ Address  0000\nData Read  =  00\nProg Data   =  5A") << type;
        ExpectNoFault(c, std::string(c.device.chip));
    }
}

TEST(FlashBench, TheSignatureReportsTheProgramBitsWritten) {
    struct Case {
        uint16_t type, programBits;
        const char* tail;  // the report's lines after the signature bytes
    };
    const Case cases[] = {
        {AT89S53, 0x0F, "\nLock Bit-1    ON\nLock Bit-2    ON\nLock Bit-3    ON\nISP Bit         ON"},
        {AT89S53, 0x01, "\nLock Bit-1    ON\nLock Bit-2    OFF\nLock Bit-3    OFF\nISP Bit         OFF"},
        {AT89S8252, 0x08, "\nLock Bit-1    OFF\nLock Bit-2    OFF\nLock Bit-3    OFF\nISP Bit         ON"},
        {AT89C55WD, 0x05, "\nLock Bit-1    ON\nLock Bit-2    OFF\nLock Bit-3    ON"},
        {AT89C51RC, 0x07, "\nLock Bit-1    ON\nLock Bit-2    ON\nLock Bit-3    ON"},
    };
    for (const Case& k : cases) {
        ChipBench c(k.type);
        ASSERT_EQ(c.Write(k.programBits), "OK");
        c.b.timer.Delay10ms();
        const std::string report = c.Signature();
        EXPECT_TRUE(report.ends_with(k.tail)) << report;
        ExpectNoFault(c, report);
    }
}

// A board whose lines were never set powers the socket with the programming
// voltage on; the session rests it before the first command.
TEST(FlashBench, TheFirstCommandNeverPowersAnUnrestedSocket) {
    for (bool session : {false, true}) {
        auto chip = sim::FlashChip::Make("89C52");
        sim::BenchBoard b;
        b.bench.Insert(chip.get());
        flash::FlashSocket socket(b.board);
        flash::StartUpBoard(b.board);
        shell::Buffer image;
        image.fill(shell::kErasedEntry);
        device::NoProgress progress;
        const flash::Request request{AT89C52, image, progress};
        if (session) {
            device::PortSession run(b.bench, b.timer, b.board, [&] { flash::BoardIdle(socket, AT89C52); });
            run.Run(0x378, [&] { flash::ReadDevice(socket, request); });
        } else {
            b.bench.Claim(0x378);
            flash::ReadDevice(socket, request);
        }
        EXPECT_EQ(Recorded(*chip, "supply came up with the programming voltage applied"), !session);
    }
}

}  // namespace
}  // namespace test

namespace test {
namespace {

// A user with an 89C1051 in the socket: open a file, write it, read it back, verify.
TEST(CorvinaOnTheBench, OpenWriteReadVerifyThroughTheMainWindow) {
    shell::CorvinaState state;
    FakeMainView view;
    TempFolder folder;
    sim::BenchBoard board;
    auto chip = sim::FlashChip::Make("89C1051");
    board.bench.Insert(chip.get());
    shell::CorvinaDevice device(state, board.board);
    shell::CorvinaMain logic(state, view, {board.bench, board.timer, board.board, &device},
                             shell::SettingsLocation("C.set", {folder.path()}));
    logic.FormCreate();
    view.items[Ctl::cboType] = AT89C1051;
    logic.cboTypeChange();
    view.chosenFile = FIXTURES "/blink.ihx";
    logic.mnuFileOpenClick();
    const shell::Buffer opened = state.DataBuffer;

    view.labelTexts.clear();
    logic.cmdWriteClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Programming/Verify OK", "WRITE", Box::Information}));
    const std::vector<std::string> progress{"", "Programming", "00FF", "01FF", "02FF", "03FF",
                                            "", "Verifying",   "00FF", "01FF", "02FF", "03FF"};
    EXPECT_EQ(view.labelTexts, progress);

    state.EraseBuffer();
    logic.cmdReadClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Data Reading Complete", "READ", Box::Information}));
    EXPECT_TRUE(std::equal(opened.begin(), opened.begin() + 0x400, state.DataBuffer.begin()));
    EXPECT_EQ(view.panels[0], " Hex File :  NONE");

    logic.cmdVerifyClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Verify OK", "VERIFY", Box::Information}));
    state.DataBuffer[0x3FF] = 0x00;
    logic.cmdVerifyClick();
    EXPECT_EQ(view.boxes.back(), (ShownBox{"Buffer Verify Error @ Address  03FF\nData Read  =  FF\nProg Data   =  00",
                                           "VERIFY", Box::Warning}));
    logic.cmdBlankChkClick();
    EXPECT_EQ(view.boxes.back().title, "BLANK CHECK");
    EXPECT_EQ(view.boxes.back().kind, Box::Warning);
    logic.cmdSignatureClick();
    EXPECT_EQ(view.boxes.back(),
              (ShownBox{"Signature Bytes Info For 89C1051\nByte-1  = 1E\nByte-2  = 11", "SIGNATURE", Box::Information}));
    EXPECT_EQ(chip->Violations(), std::vector<std::string>{});
    EXPECT_EQ(board.bench.UnclaimedAccesses(), 0u);
    EXPECT_EQ(board.board.PowerFlags & 0x81, 0x81) << "the device layer's start-up values";
}

}  // namespace
}  // namespace test
