// Corvina's routines on the bench, watched at the socket's lines: the
// sequences and values the chips' timing diagrams ask for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SocketProbe.h"
#include "device/HexText.h"
#include "flash/FlashEntries.h"
#include "flash/IspFamily.h"
#include "flash/StandardFamily.h"
#include "flash/WdFamily.h"
#include "shell/AppState.h"
#include "sim/BenchBoard.h"

namespace test {
namespace {

enum Type : uint16_t {
    AT89C51, AT89C52, AT89C55, AT89C1051, AT89C1051U, AT89C2051, AT89C4051, AT89S53, AT89S8252, AT89C55WD, AT89C51RC
};

// What a routine showed, in order: "00FF", ..., and the activity words.
struct RecordedProgress : device::ProgressSink {
    void ShowProgress(uint16_t a) override { shown.push_back(device::Hex4(a)); }
    void ShowActivity(std::string_view word) override { shown.emplace_back(word); }
    std::vector<std::string> shown;
};

// The flash board on the bench at rest, as the program leaves it after start-up.
struct FlashBench {
    sim::BenchBoard b;
    flash::FlashSocket socket{b.board};
    shell::Buffer image;
    RecordedProgress progress;
    explicit FlashBench(uint16_t type, sim::SocketChip* chip = nullptr) {
        image.fill(shell::kErasedEntry);
        b.bench.Insert(chip);
        b.bench.Claim(0x378);
        flash::StartUpBoard(b.board);
        b.timer.TimerInit();
        flash::BoardIdle(socket, type);
    }
    flash::Request For(uint16_t type, uint16_t programBits = 0) { return {type, image, progress, programBits}; }
};

void ExpectAtRest(FlashBench& f, const std::string& what) {
    EXPECT_EQ(f.b.bench.DataPort(), 0x15) << what;
    EXPECT_EQ(f.b.bench.ControlPort() & 0x0F, 0x0F) << what;
    EXPECT_FALSE(f.b.bench.Lines().SupplyOn()) << what;
    EXPECT_FALSE(f.b.bench.Lines().bus) << what << ": the bus register drives nothing";
}

TEST(FlashSocket, BoardIdleAndPowerOnFromZeroedShadows) {
    for (uint16_t type : {AT89C52, AT89C2051}) {
        FlashBench f(type);
        ExpectAtRest(f, "after BoardIdle");
        EXPECT_EQ(f.b.board.ControlByte, 0x81);
        EXPECT_EQ(f.b.bench.Lines().addressHigh, type == AT89C2051 ? 0x02 : 0x00) << "the 20-pin chip held in reset";
        const uint64_t before = f.b.bench.Now();
        f.socket.PowerOn();
        EXPECT_EQ(f.b.bench.Lines().controlRegister, 0x01);
        EXPECT_GE(f.b.bench.Now() - before, 500'000'000u);
        EXPECT_EQ(f.b.bench.ControlPort() & 0x01, 0);
    }
    FlashBench f(AT89C52);
    for (auto [in, out] : {std::pair{0x12, 0x48}, {0x01, 0x80}, {0x80, 0x01}}) {
        f.socket.DataByte = static_cast<uint16_t>(in);
        f.socket.ReverseDataBits();
        EXPECT_EQ(f.socket.DataByte, out) << in;
    }
}

TEST(FlashRoutines, AddressesReachTheirLines) {
    struct Case {
        uint16_t type;
        uint32_t address;
        uint8_t high;
        void (*present)(flash::Job&, uint32_t);
    };
    const Case cases[] = {
        {AT89C51, 0x0FFF, 0x1F, flash::standard::PresentAddress},  // bit 4 set for every 89C51 address
        {AT89C51, 0x0ABC, 0x1A, flash::standard::PresentAddress},
        {AT89C52, 0x1FFF, 0x1F, flash::standard::PresentAddress},
        {AT89C55, 0x4FFF, 0x4F, flash::standard::PresentAddress},
        {AT89S8252, 0x27FF, 0x27, flash::standard::PresentAddress},
        {AT89C55WD, 0x4000, 0x80, flash::wd::PresentAddress},      // address bit 14 on its own line
        {AT89C55WD, 0x3FFF, 0x3F, flash::wd::PresentAddress},
        {AT89C51RC, 0x4123, 0x81, flash::wd::PresentAddress},
        {AT89C51RC, 0x7FFF, 0xBF, flash::wd::PresentAddress},
    };
    for (const Case& c : cases) {
        FlashBench f(c.type);
        flash::Job job{f.socket, *flash::FindDevice(c.type), f.image, f.progress};
        c.present(job, c.address);
        EXPECT_EQ(f.b.bench.Lines().addressLow, c.address & 0xFF) << c.address;
        EXPECT_EQ(f.b.bench.Lines().addressHigh, c.high) << c.address;
    }
}

// The pulses an all-0xFF write gives: no byte is programmed, only the erase
// and the program bits chosen.
TEST(FlashRoutines, AnErasedImageGetsTheErasePulseAndTheChosenLockPulsesOnly) {
    struct Case {
        uint16_t type, programBits;
        std::vector<uint8_t> modes;                 // of the pulses, with the supply on
        std::vector<std::optional<uint8_t>> data;   // what the bus drove at the lock pulses
    };
    const Case cases[] = {
        {AT89C52, 0x00, {0x15}, {}},
        {AT89C52, 0x05, {0x15, 0x7D, 0x35}, {}},               // Lock Bit-1 and -3, not -2
        {AT89C4051, 0x0F, {0x03, 0x1F, 0x0B}, {}},             // no Lock Bit-3 nor fuse on a 20-pin chip
        {AT89S53, 0x01, {0x15, 0x35, 0x4D}, {0x7F, 0xFF}},
        {AT89S53, 0x0F, {0x15, 0x35, 0x4D}, {0x1F, 0xFE}},
        {AT89S8252, 0x08, {0x15, 0x35, 0x4D}, {0xFF, 0xFE}},   // the lock byte is pulsed all the same
        {AT89C55WD, 0x07, {0x15, 0x15, 0x7D, 0x1D, 0x35}, {}},  // two erase passes
    };
    for (const Case& c : cases) {
        SocketProbe probe;
        FlashBench f(c.type, &probe);
        EXPECT_EQ(flash::WriteDevice(f.socket, f.For(c.type, c.programBits)), "OK");
        std::vector<uint8_t> modes;
        for (const Pulse& p : probe.pulses) modes.push_back(p.mode);
        EXPECT_EQ(modes, c.modes) << c.type << " bits " << c.programBits;
        for (size_t i = 0; i < c.data.size() && i + 1 < probe.pulses.size(); ++i)
            EXPECT_EQ(probe.pulses[i + 1].data, c.data[i]) << c.type << " pulse " << i + 1;
        ExpectAtRest(f, "after the write");
    }
}

TEST(FlashRoutines, ProgrammedBytesGetOnePulseEachAtTheirAddress) {
    SocketProbe probe;
    FlashBench f(AT89C52, &probe);
    f.image[0x0000] = 0x00;
    f.image[0x1FFF] = 0x5A;
    flash::WriteDevice(f.socket, f.For(AT89C52));
    ASSERT_EQ(probe.pulses.size(), 3u) << "erase and two bytes";
    EXPECT_EQ(probe.pulses[1].data, 0x00);
    EXPECT_EQ(probe.pulses[2].data, 0x5A);
    EXPECT_EQ(probe.pulses[2].mode, 0x6D);
    EXPECT_GE(probe.pulses[0].width, 10'000'000u) << "the erase pulse";
    EXPECT_GE(probe.pulses[2].width, 12'000u) << "the programming pulse";
}

TEST(FlashRoutines, TheTwentyPinCounterStepsOncePerByte) {
    for (uint16_t type : {AT89C1051, AT89C2051, AT89C4051}) {
        const uint32_t size = flash::FindDevice(type)->size;
        SocketProbe probe;
        FlashBench f(type, &probe);
        flash::ReadDevice(f.socket, f.For(type));
        EXPECT_EQ(probe.counterClocks, static_cast<int>(size)) << "a read: one clock after each byte, the last too";
        probe.counterClocks = 0;
        EXPECT_EQ(flash::WriteDevice(f.socket, f.For(type)), "OK");
        EXPECT_EQ(probe.counterClocks, static_cast<int>(2 * size)) << "program pass and verify pass";
        EXPECT_EQ(probe.pulses.size(), 1u) << "the erase only";
    }
    // Mirrored data: 0x01 goes to the board as 0x80.
    SocketProbe probe;
    FlashBench f(AT89C2051, &probe);
    f.image[5] = 0x01;
    flash::WriteDevice(f.socket, f.For(AT89C2051));
    ASSERT_EQ(probe.pulses.size(), 2u);
    EXPECT_EQ(probe.pulses[1].data, 0x80);
}

TEST(FlashRoutines, TheWdEraseRunsTwoPassesAndOnlyThe89C55WDPausesAfterEach) {
    uint64_t gaps[2];
    for (uint16_t type : {AT89C55WD, AT89C51RC}) {
        SocketProbe probe;
        FlashBench f(type, &probe);
        EXPECT_EQ(flash::WriteDevice(f.socket, f.For(type)), "OK");
        ASSERT_EQ(probe.pulses.size(), 2u) << "two erase pulses, no programming";
        // Each pass: the pulse, 150 ms, the supply off.
        for (const Pulse& p : probe.pulses) {
            auto off = std::find_if(probe.supplyChanges.begin(), probe.supplyChanges.end(),
                                    [&](uint64_t t) { return t > p.start; });
            ASSERT_NE(off, probe.supplyChanges.end());
            EXPECT_GE(*off - p.start, 150'000'000u);
        }
        gaps[type == AT89C51RC] = probe.pulses[1].start - probe.pulses[0].start;
    }
    EXPECT_GE(gaps[0] - gaps[1], 500'000'000u);
    EXPECT_LT(gaps[0] - gaps[1], 510'000'000u);
}

TEST(FlashRoutines, ProgressCountsUpEvery256BytesAndStartsOverForVerify) {
    FlashBench f(AT89C1051);  // 1 KB
    flash::WriteDevice(f.socket, f.For(AT89C1051));
    const std::vector<std::string> expected{"00FF", "01FF", "02FF", "03FF", "Verifying", "00FF", "01FF", "02FF", "03FF"};
    EXPECT_EQ(f.progress.shown, expected);
    f.progress.shown.clear();
    flash::BlankCheckDevice(f.socket, f.For(AT89C1051));
    EXPECT_EQ(f.progress.shown, (std::vector<std::string>{"00FF", "01FF", "02FF", "03FF"}));
    f.progress.shown.clear();
    flash::ReadSignature(f.socket, f.For(AT89C1051));
    EXPECT_TRUE(f.progress.shown.empty()) << "the signature shows no progress";
}

// Every routine of every family ends with the board at rest, failing or not.
TEST(FlashRoutines, EveryRoutineLeavesTheBoardAtRest) {
    using Entry = std::string (*)(flash::FlashSocket&, const flash::Request&);
    const std::pair<const char*, Entry> entries[] = {
        {"blank check", flash::BlankCheckDevice}, {"read", flash::ReadDevice},          {"write", flash::WriteDevice},
        {"verify", flash::VerifyDevice},          {"signature", flash::ReadSignature},
    };
    for (uint16_t type : {AT89C51, AT89C1051, AT89S8252, AT89C55WD}) {
        for (auto [name, entry] : entries) {
            for (bool failing : {false, true}) {  // an empty socket reads 0xFF: a 00 in the image fails
                FlashBench f(type);
                if (failing) f.image[0x100] = 0x00;
                entry(f.socket, f.For(type, 0x0F));
                ExpectAtRest(f, std::string(flash::FindDevice(type)->chip) + " " + name + (failing ? " failing" : ""));
            }
        }
    }
}

TEST(FlashEntries, FailuresNameTheAddressAndTheBytes) {
    FlashBench f(AT89C52);  // an empty socket: every byte reads 0xFF
    f.image[0x012A] = 0x3C;
    EXPECT_EQ(flash::VerifyDevice(f.socket, f.For(AT89C52)),
              "Buffer Verify Error @ Address  012A\nData Read  =  FF\nProg Data   =  3C");
    EXPECT_EQ(flash::WriteDevice(f.socket, f.For(AT89C52)),
              "Program Verify Error @ Address  012A\nData Read  =  FF\nProg Data   =  3C");
    EXPECT_EQ(flash::BlankCheckDevice(f.socket, f.For(AT89C52)), "OK");
}

TEST(FlashEntries, AnUnknownDeviceTypeRunsNothingAndSaysSo) {
    FlashBench f(AT89C52);
    const uint64_t accesses = f.b.bench.AccessCount();
    using Entry = std::string (*)(flash::FlashSocket&, const flash::Request&);
    for (Entry entry : {Entry(flash::BlankCheckDevice), Entry(flash::WriteDevice), Entry(flash::VerifyDevice),
                        Entry(flash::ReadDevice), Entry(flash::ReadSignature)}) {
        const std::string text = entry(f.socket, f.For(11));
        EXPECT_NE(text, "OK");
        EXPECT_NE(text.find("11"), std::string::npos) << text;
    }
    EXPECT_EQ(f.b.bench.AccessCount(), accesses) << "the board was not touched";
}

TEST(FlashCatalogue, EachDeviceTakesOnlyTheProgramBitsItHas) {
    const std::pair<uint16_t, uint16_t> cases[] = {
        {AT89C51, 0x07}, {AT89C4051, 0x03}, {AT89C1051U, 0x03}, {AT89S8252, 0x0F}, {AT89C55WD, 0x07}, {AT89C51RC, 0x07}};
    for (auto [type, takes] : cases) EXPECT_EQ(flash::ProgramBitsFor(*flash::FindDevice(type), 0xFF), takes) << type;
}

}  // namespace
}  // namespace test
