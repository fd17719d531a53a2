// The flash chip models, driven through the board as a device routine drives
// them: what each family programs, reads, erases and locks, and what it
// refuses and records.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/BenchBoard.h"
#include "sim/FlashChip.h"

namespace test {
namespace {

using sim::FlashChip;
using Delay = void (io::Timer::*)();

enum class Kind { Standard, TwentyPin, Isp, Wd };

struct ChipCase {
    const char* name;
    Kind kind;
    uint32_t size;
};

constexpr ChipCase kChips[] = {
    {"89C51", Kind::Standard, 0x1000}, {"89C52", Kind::Standard, 0x2000},     {"89C55", Kind::Standard, 0x5000},
    {"89C1051", Kind::TwentyPin, 0x400}, {"89C1051U", Kind::TwentyPin, 0x400}, {"89C2051", Kind::TwentyPin, 0x800},
    {"89C4051", Kind::TwentyPin, 0x1000}, {"89S53", Kind::Isp, 0x3000},      {"89S8252", Kind::Isp, 0x2800},
    {"89C55WD", Kind::Wd, 0x5000},      {"89C51RC", Kind::Wd, 0x8000},
};

const ChipCase& Chip(std::string_view name) {
    return *std::find_if(std::begin(kChips), std::end(kChips), [&](const ChipCase& c) { return c.name == name; });
}

// The control bytes a device routine sends for each mode.
struct Modes {
    uint8_t read, write, erase, signature;
    uint8_t lockBit[3];  // one mode per lock bit (not the ISP family)
};

Modes ModesOf(Kind kind) {
    switch (kind) {
        case Kind::Standard:
        case Kind::Isp: return {0x64, 0x6C, 0x14, 0x04, {0x7C, 0x1C, 0x34}};
        case Kind::Wd: return {0x60, 0x6C, 0x14, 0x00, {0x7C, 0x1C, 0x34}};
        case Kind::TwentyPin: return {0x14, 0x1C, 0x02, 0x00, {0x1E, 0x0A, 0}};
    }
    return {};
}

constexpr uint8_t kIspLockByteMode = 0x34, kIspFuseMode = 0x4C, kIspReadLocks = 0x1C, kIspReadFuse = 0x5C;
constexpr uint8_t kWdReadLocks = 0x38;

uint8_t Mirror(uint8_t v) {
    uint8_t r = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (v & (1 << bit)) r |= static_cast<uint8_t>(0x80 >> bit);
    return r;
}

bool Has(const std::vector<std::string>& texts, const std::string& part) {
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += "\n  " + t;
    return all;
}

// Passes each port access on to the bench and tells the chip of every socket
// line that changed. The bench tells it only of the pulse, voltage and bus
// lines, not of what its latches take (address and control registers); once it
// does, the calls made here repeat the bench's, which the chip ignores.
class LineWatch : public io::PortIo {
public:
    explicit LineWatch(sim::Bench& bench) : bench_(bench) {}
    void Watch(sim::SocketChip* chip) {
        chip_ = chip;
        seen_ = bench_.Lines();
    }
    std::string Claim(uint16_t portBase) override { return bench_.Claim(portBase); }
    void Release() override { bench_.Release(); }
    void PortOut(uint16_t port, uint16_t value) override {
        bench_.PortOut(port, value);
        if (chip_ && !(bench_.Lines() == seen_)) {
            seen_ = bench_.Lines();
            chip_->LinesChanged(seen_, bench_.Now());
        }
    }
    uint16_t PortIn(uint16_t port) override { return bench_.PortIn(port); }
    bool HasTimerPorts() const override { return bench_.HasTimerPorts(); }

private:
    sim::Bench& bench_;
    sim::SocketChip* chip_ = nullptr;
    sim::SocketLines seen_;
};

// A chip seated in the socket of a board at rest, and the board steps of the routines.
class Socket {
public:
    explicit Socket(const ChipCase& c) : kind(c.kind), modes(ModesOf(c.kind)), name_(c.name), chip(FlashChip::Make(c.name)) {
        b.bench.Trace(false);
        b.bench.Claim(0x378);
        b.timer.TimerInit();
        board.PowerFlags = 0x81;
        Rest();
        b.bench.Insert(chip.get());
        watch_.Watch(chip.get());
    }
    explicit Socket(std::string_view name) : Socket(Chip(name)) {}

    const Kind kind;
    const Modes modes;
    std::string name_;
    sim::BenchBoard b;

private:
    LineWatch watch_{b.bench};

public:
    io::Board board{watch_, b.timer};
    std::unique_ptr<FlashChip> chip;

    bool TwentyPin() const { return kind == Kind::TwentyPin; }
    void Wait(Delay delay) { (b.timer.*delay)(); }

    // ---- Single board steps
    void Rest() {
        board.AddressLow = 0;
        board.AddressHigh = TwentyPin() ? 2 : 0;
        board.ControlByte = 0;
        board.SetControlBit1();
        board.SendAddressLow();
        board.SendAddressHigh();
        board.SendControlByte();
        board.SetControlBit0();
        board.SetControlBit2();
        board.ReleaseBus();
        PowerOff();
    }
    void PowerOn() {
        board.ReleaseBus();
        board.PowerFlags &= ~0x80;
        board.SendControlByte();
        Wait(&io::Timer::Delay100us);
        board.ClearControlBit0();
    }
    void PowerOff() {
        board.PowerFlags |= 0x80;
        board.SendControlByte();
    }
    void Mode(uint8_t controlByte) {
        board.ControlByte = controlByte;
        board.SendControlByte();
    }
    void VppOnAtOnce() {
        board.ControlPortShadow &= ~0x02;
        board.Port().PortOut(board.PortBase + 2, board.ControlPortShadow);
    }
    void VppOn() {
        VppOnAtOnce();
        Wait(&io::Timer::Delay100us);
    }
    void VppOff() { board.SetControlBit1(); }
    void Present(uint32_t address) {
        uint16_t high = static_cast<uint16_t>(address >> 8);
        if (name_ == "89C51") high |= 0x10;
        if (kind == Kind::Wd && (high & 0x40)) high = (high | 0x80) & 0xBF;  // A14 on its own line
        board.AddressLow = address & 0xFF;
        board.AddressHigh = high;
        board.SendAddressLow();
        board.SendAddressHigh();
    }
    void Data(uint8_t chipByte) {
        board.DataByte = TwentyPin() ? Mirror(chipByte) : chipByte;
        board.ShiftOutData();
    }
    uint8_t ReadData() {
        board.ReadDataByte();
        return TwentyPin() ? Mirror(static_cast<uint8_t>(board.DataByte)) : static_cast<uint8_t>(board.DataByte);
    }
    void Pulse(Delay width) {
        board.SetControlBit0();
        Wait(width);
        board.ClearControlBit0();
    }
    void ProgramPulse() { kind == Kind::Wd ? board.PulseControlBit0() : Pulse(&io::Timer::Delay12us); }
    void WriteWait() { Wait(kind == Kind::Wd ? &io::Timer::Delay100us : &io::Timer::Delay2ms); }

    // 20-pin counter.
    void HighAddress(uint16_t set, uint16_t clear) {
        board.AddressHigh = (board.AddressHigh | set) & ~clear;
        board.SendAddressHigh();
    }
    void AssertReset() { HighAddress(0x02, 0); }
    void ReleaseReset() {
        HighAddress(0, 0x02);
        position_ = 0;
    }
    void Advance() {
        HighAddress(0x01, 0);
        HighAddress(0, 0x01);
        ++position_;
    }
    void Go(uint32_t address) {
        if (!TwentyPin()) return Present(address);
        while (position_ < address) Advance();
    }

    // ---- Routine pieces
    void Begin(bool vpp) {
        if (TwentyPin()) {
            AssertReset();
            HighAddress(0, 0x01);
            PowerOn();
            ReleaseReset();
        } else {
            PowerOn();
        }
        if (vpp || kind == Kind::Isp) VppOn();
    }
    void End() {
        Wait(&io::Timer::Delay12us);
        Rest();
    }
    // Programs each byte (ascending addresses on a 20-pin chip), with the family's waits.
    void WriteBytes(const std::vector<std::pair<uint32_t, uint8_t>>& bytes) {
        Begin(true);
        Mode(modes.write);
        for (const auto& [address, value] : bytes) {
            Go(address);
            Data(value);
            Wait(&io::Timer::Delay12us);
            ProgramPulse();
            WriteWait();
        }
        End();
    }
    // Reads in `mode`; a 40-pin chip's address goes out with P2.7 high, so that
    // its outputs do not fight the bus register for the address latch.
    std::vector<uint8_t> ReadBytes(const std::vector<uint32_t>& addresses, uint8_t mode) {
        const uint8_t quiet = TwentyPin() ? mode : mode | 0x08;
        Begin(false);
        Mode(quiet);
        std::vector<uint8_t> read;
        for (uint32_t address : addresses) {
            Go(address);
            Wait(&io::Timer::Delay12us);
            if (quiet != mode) Mode(mode);
            read.push_back(ReadData());
            if (quiet != mode) Mode(quiet);
        }
        End();
        return read;
    }
    uint8_t ReadAt(uint32_t address) { return ReadBytes({address}, modes.read)[0]; }
    uint8_t ReadInMode(uint8_t mode) { return ReadBytes({0}, mode)[0]; }
    void EraseTwoPasses() {
        for (int pass = 0; pass < 2; ++pass) {
            PowerOn();
            ErasePass(15);
            Rest();
        }
    }
    void ErasePass(int tenMs) {  // WD family
        Mode(modes.erase);
        VppOn();
        Wait(&io::Timer::Delay12us);
        board.PulseControlBit0();
        for (int i = 0; i < tenMs; ++i) Wait(&io::Timer::Delay10ms);
        VppOff();
    }
    void Erase(Delay width = &io::Timer::Delay10ms) {
        if (kind == Kind::Wd) return EraseTwoPasses();
        Begin(true);
        Mode(modes.erase);
        Wait(&io::Timer::Delay12us);
        Pulse(width);
        End();
    }
    void ProgramLocks(uint8_t bits, Delay width = &io::Timer::Delay12us) {
        Begin(true);
        if (kind == Kind::Isp) {
            Data(static_cast<uint8_t>(~((bits & 1) << 7 | (bits & 2) << 5 | (bits & 4) << 3)));
            Mode(kIspLockByteMode);
            Wait(&io::Timer::Delay12us);
            Pulse(width);
            Wait(&io::Timer::Delay2ms);
        } else {
            for (int i = 0; i < 3; ++i) {
                if (!(bits & (1 << i))) continue;
                Mode(modes.lockBit[i]);
                Wait(&io::Timer::Delay12us);
                Pulse(kind == Kind::Wd ? &io::Timer::Delay100us : width);
                Wait(&io::Timer::Delay2ms);
            }
        }
        End();
    }
    void ProgramFuse(bool enable) {
        Begin(true);
        Data(enable ? 0xFE : 0xFF);
        Mode(kIspFuseMode);
        Wait(&io::Timer::Delay12us);
        Pulse(&io::Timer::Delay10ms);
        End();
    }

    std::vector<std::string> Violations() const { return chip->Violations(); }
    std::vector<std::string> Warnings() const { return chip->Warnings(); }

private:
    uint32_t position_ = 0;
};

TEST(FlashChip, MakesTheElevenCatalogueChipsFreshAndNothingElse) {
    for (const ChipCase& c : kChips) {
        const std::unique_ptr<FlashChip> chip = FlashChip::Make(c.name);
        ASSERT_TRUE(chip) << c.name;
        EXPECT_EQ(chip->Name(), c.name);
        EXPECT_EQ(chip->Size(), c.size) << c.name;
        EXPECT_EQ(chip->State(), (sim::FlashChipState{std::vector<uint8_t>(c.size, 0xFF), 0, true})) << c.name;
        EXPECT_FALSE(chip->Powered()) << c.name;
        EXPECT_TRUE(chip->Events().empty()) << c.name;
    }
    for (const char* other : {"", "89C53", "89c51", "AT89C51", "28C256", "89C51 "}) EXPECT_FALSE(FlashChip::Make(other)) << other;
}

TEST(FlashChip, ReadsTheSignatureOfEveryChip) {
    struct Case {
        const char* name;
        std::vector<uint32_t> addresses;  // the last one is no signature address
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"89C51", {0x30, 0x31, 0x32, 0x33}, {0x1E, 0x51, 0xFF, 0xFF}},  // sent as 0x1030...: A12 is ignored
        {"89C52", {0x30, 0x31, 0x32, 0x33}, {0x1E, 0x52, 0xFF, 0xFF}},
        {"89C55", {0x30, 0x31, 0x32, 0x4030}, {0x1E, 0x55, 0xFF, 0xFF}},
        {"89C1051", {0, 1, 2}, {0x1E, 0x11, 0xFF}},
        {"89C1051U", {0, 1, 2}, {0x1E, 0x12, 0xFF}},
        {"89C2051", {0, 1, 2}, {0x1E, 0x21, 0xFF}},
        {"89C4051", {0, 1, 2}, {0x1E, 0x41, 0xFF}},
        {"89S53", {0x30, 0x31, 0x32}, {0x1E, 0x53, 0xFF}},
        {"89S8252", {0x30, 0x31, 0x32}, {0x1E, 0x72, 0xFF}},
        {"89C55WD", {0x000, 0x100, 0x200, 0x4000}, {0x1E, 0x55, 0xFF, 0xFF}},
        {"89C51RC", {0x000, 0x100, 0x200, 0x4000}, {0x1E, 0x51, 0x07, 0xFF}},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        EXPECT_EQ(s.ReadBytes(c.addresses, s.modes.signature), c.bytes) << c.name;
        EXPECT_EQ(s.ReadAt(c.addresses[0]), 0xFF) << c.name << ": code, not signature, in the read mode";
        EXPECT_TRUE(s.chip->Events().empty()) << c.name << Joined(s.Violations()) << Joined(s.Warnings());
    }
}

TEST(FlashChip, ProgramsEachByteAtItsAddressOnEveryChip) {
    for (const ChipCase& c : kChips) {
        Socket s(c);
        const uint32_t top = c.size - 1;
        // The top address needs every address line the chip has, A14 included.
        const std::vector<std::pair<uint32_t, uint8_t>> bytes = {{0x0000, 0x12}, {0x0001, 0xA5}, {top / 2 + 1, 0x00}, {top, 0x3C}};
        s.WriteBytes(bytes);
        std::vector<uint8_t> image(c.size, 0xFF);
        for (const auto& [address, value] : bytes) image[address] = value;
        EXPECT_EQ(s.chip->State().memory, image) << c.name;
        EXPECT_EQ(s.ReadBytes({0x0000, 0x0001, 0x0002, top / 2 + 1, top}, s.modes.read),
                  (std::vector<uint8_t>{0x12, 0xA5, 0xFF, 0x00, 0x3C}))
            << c.name;
        EXPECT_TRUE(s.chip->Events().empty()) << c.name << Joined(s.Violations()) << Joined(s.Warnings());
    }
}

TEST(FlashChip, CellsOnlyGoFromOneToZeroUntilTheChipIsErased) {
    for (const char* name : {"89C52", "89C2051", "89S8252", "89C51RC"}) {
        Socket s(name);
        s.WriteBytes({{0x0002, 0xF0}});
        s.WriteBytes({{0x0002, 0x3C}});
        EXPECT_EQ(s.ReadAt(0x0002), 0x30) << name << ": old AND new";
        s.Erase();
        EXPECT_EQ(s.chip->State().memory, std::vector<uint8_t>(s.chip->Size(), 0xFF)) << name;
        s.WriteBytes({{0x0002, 0x3C}});
        EXPECT_EQ(s.ReadAt(0x0002), 0x3C) << name;
        EXPECT_TRUE(s.Violations().empty()) << name << Joined(s.Violations());
    }
}

TEST(FlashChip, ChipEraseNeedsItsLongPulseAndClearsTheLockBits) {
    struct Case {
        const char* name;
        Delay width;
        bool erased;
        const char* violation;
    };
    const Case cases[] = {
        {"89C51", &io::Timer::Delay10ms, true, nullptr},
        {"89C4051", &io::Timer::Delay10ms, true, nullptr},
        {"89S53", &io::Timer::Delay10ms, true, nullptr},
        {"89C52", &io::Timer::Delay2ms, false, "erase pulse too short (2.0 ms, at least 10.0 ms)"},
        {"89C2051", &io::Timer::Delay2ms, false, "erase pulse too short (2.0 ms, at least 10.0 ms)"},
        {"89S8252", &io::Timer::Delay2ms, false, "erase pulse too short (2.0 ms, at least 10.0 ms)"},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        s.chip->State().memory[5] = 0x00;
        s.chip->State().lockBits = 0x03;
        s.chip->State().serialFuseEnabled = false;
        s.Erase(c.width);
        EXPECT_EQ(s.chip->State().memory[5], c.erased ? 0xFF : 0x00) << c.name;
        EXPECT_EQ(s.chip->State().lockBits, c.erased ? 0 : 3) << c.name;
        EXPECT_FALSE(s.chip->State().serialFuseEnabled) << c.name << ": erase leaves the fuse";
        if (c.violation)
            EXPECT_EQ(s.Violations(), std::vector<std::string>{c.violation}) << c.name;
        else
            EXPECT_TRUE(s.Violations().empty()) << c.name << Joined(s.Violations());
    }
}

TEST(FlashChip, WdFamilyErasesOnlyAfterTwoFullCyclesWithASupplyCycleBetween) {
    struct Pass {
        int tenMs;
        bool supplyCycleAfter;
    };
    struct Case {
        const char* what;
        std::vector<Pass> passes;
        bool erased;
        const char* violation;
    };
    const Case cases[] = {
        {"two passes, supply cycled between", {{15, true}, {15, true}}, true, nullptr},
        {"one pass", {{15, true}}, false, nullptr},
        {"two passes in one power-up", {{15, false}, {15, true}}, false,
         "erase cycle without a supply cycle since the last one: nothing erased"},
        {"second pass cut short", {{15, true}, {10, true}}, false, "erase cycle cut short after 100."},
        {"first pass cut short", {{14, true}, {15, true}}, false, "erase cycle cut short after 140."},
    };
    for (const char* name : {"89C55WD", "89C51RC"}) {
        for (const Case& c : cases) {
            Socket s(name);
            s.chip->State().memory[0x4123] = 0x5A;
            s.chip->State().lockBits = 0x07;
            s.PowerOn();
            for (const Pass& pass : c.passes) {
                s.ErasePass(pass.tenMs);
                if (pass.supplyCycleAfter) {
                    s.Rest();
                    s.PowerOn();
                }
            }
            s.Rest();
            EXPECT_EQ(s.chip->State().memory[0x4123], c.erased ? 0xFF : 0x5A) << name << ", " << c.what;
            EXPECT_EQ(s.chip->State().lockBits, c.erased ? 0 : 7) << name << ", " << c.what;
            if (c.violation)
                EXPECT_TRUE(Has(s.Violations(), c.violation)) << name << ", " << c.what << Joined(s.Violations());
            else
                EXPECT_TRUE(s.Violations().empty()) << name << ", " << c.what << Joined(s.Violations());
            EXPECT_TRUE(Has(s.Warnings(), "erase pulse longer than 0.5 µs (1.0 µs)")) << Joined(s.Warnings());
        }
    }
}

TEST(FlashChip, APulseDuringTheWriteCycleIsLostAndReadsPollTheData) {
    struct Case {
        const char* name;
        uint64_t writeCycle;  // 0: the datasheet's
        bool waitTheRoutinesTime;
        bool secondProgrammed;
    };
    const Case cases[] = {
        {"89C52", 0, true, true},          {"89C52", 0, false, false},        {"89C52", 4'000'000, true, false},
        {"89S53", 0, false, false},        {"89S53", 4'000'000, true, false}, {"89C55WD", 0, true, true},
        {"89C55WD", 2'000'000, true, false}, {"89C51RC", 2'000'000, true, false},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        if (c.writeCycle) s.chip->SetWriteCycle(c.writeCycle);
        s.Begin(true);
        s.Mode(s.modes.write);
        s.Present(0x0123);
        s.Data(0x5A);
        s.ProgramPulse();
        if (s.kind != Kind::Wd) {  // a WD byte is written before the board can change the mode
            s.Mode(s.modes.read);
            EXPECT_EQ(s.ReadData(), 0xDA) << c.name << ": bit 7 complemented while busy";
            s.Mode(s.modes.write);
        }
        c.waitTheRoutinesTime ? s.WriteWait() : s.Wait(&io::Timer::Delay12us);
        s.Present(0x0124);
        s.Data(0x11);
        s.ProgramPulse();
        s.WriteWait();
        s.Wait(&io::Timer::Delay2ms);
        s.End();
        EXPECT_EQ(s.chip->State().memory[0x0123], 0x5A) << c.name;
        EXPECT_EQ(s.chip->State().memory[0x0124], c.secondProgrammed ? 0x11 : 0xFF) << c.name;
        if (c.secondProgrammed)
            EXPECT_TRUE(s.Violations().empty()) << c.name << Joined(s.Violations());
        else
            EXPECT_EQ(s.Violations(), std::vector<std::string>{"write pulse during write cycle at 0x0124"}) << c.name;
    }
}

TEST(FlashChip, PulsesOutsideTheirWidthAreRefusedOrWarnedOf) {
    // Through the board: its shortest pulse is one port access, 1 µs.
    struct Case {
        const char* name;
        Delay width;
        const char* warning;
    };
    const Case cases[] = {
        {"89C52", &io::Timer::Delay2ms, "write pulse longer than 110.0 µs (2.0 ms) at 0x0000"},
        {"89C2051", &io::Timer::Delay2ms, "write pulse longer than 110.0 µs (2.0 ms) at 0x0000"},
        {"89C55WD", &io::Timer::Delay12us, "write pulse longer than 1.0 µs ("},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        s.Begin(true);
        s.Mode(s.modes.write);
        s.Go(0);
        s.Data(0x42);
        s.Wait(&io::Timer::Delay12us);
        s.Pulse(c.width);
        s.WriteWait();
        s.End();
        EXPECT_EQ(s.chip->State().memory[0], 0x42) << c.name;
        EXPECT_TRUE(s.Violations().empty()) << c.name << Joined(s.Violations());
        EXPECT_TRUE(Has(s.Warnings(), c.warning)) << c.name << Joined(s.Warnings());
    }
    Socket wd("89C51RC");
    wd.ProgramLocks(0x01);  // the family's 100 µs pulse
    wd.Begin(true);
    wd.Mode(wd.modes.lockBit[1]);
    wd.Pulse(&io::Timer::Delay12us);
    wd.End();
    EXPECT_EQ(wd.chip->State().lockBits, 0x01);
    EXPECT_EQ(wd.Violations().size(), 1u) << Joined(wd.Violations());
    EXPECT_TRUE(Has(wd.Violations(), "Lock Bit-2 pulse too short (")) << Joined(wd.Violations());

    // Below the board's reach: lines set by hand.
    struct Short {
        const char* name;
        uint64_t width;
        bool programmed;
        const char* violation;
    };
    const Short shorts[] = {
        {"89C52", 500, false, "write pulse too short (0.5 µs, at least 1.0 µs) at 0x0010"},
        {"89C52", 1000, true, nullptr},
        {"89C51RC", 100, false, "write pulse too short (0.1 µs, at least 0.2 µs) at 0x0010"},
        {"89C51RC", 300, true, nullptr},
    };
    for (const Short& c : shorts) {
        const std::unique_ptr<FlashChip> chip = FlashChip::Make(c.name);
        sim::SocketLines lines;
        lines.controlRegister = 0x6D;  // supply on, write code
        lines.controlPort = 0x06;      // no programming voltage
        lines.addressLow = 0x10;
        lines.bus = 0x42;
        uint64_t t = 1000;
        chip->LinesChanged(lines, t);
        lines.controlPort = 0x04;  // programming voltage on
        chip->LinesChanged(lines, t += 100'000);
        lines.controlPort = 0x05;
        chip->LinesChanged(lines, t += 20'000);
        lines.controlPort = 0x04;
        chip->LinesChanged(lines, t += c.width);
        EXPECT_EQ(chip->State().memory[0x10], c.programmed ? 0x42 : 0xFF) << c.name << " " << c.width;
        if (c.violation)
            EXPECT_EQ(chip->Violations(), std::vector<std::string>{c.violation}) << c.name;
        else
            EXPECT_TRUE(chip->Violations().empty()) << c.name << Joined(chip->Violations());
    }
}

TEST(FlashChip, ProgrammingNeedsTheProgrammingVoltageAroundThePulse) {
    // No voltage at all: nothing changes, on every family.
    for (const char* name : {"89C52", "89C1051", "89S53", "89C55WD"}) {
        Socket s(name);
        s.TwentyPin() ? s.Begin(false) : s.PowerOn();
        s.Mode(s.modes.write);
        s.Go(0x10);
        s.Data(0x00);
        s.ProgramPulse();
        s.WriteWait();
        s.End();
        EXPECT_EQ(s.chip->State().memory[0x10], 0xFF) << name;
        EXPECT_EQ(s.Violations(), std::vector<std::string>{"write pulse without programming voltage at 0x0010"}) << name;
    }
    // Set-up and hold of 10 µs on the Standard and 20-pin families; still programmed.
    for (const char* name : {"89C52", "89C2051"}) {
        Socket s(name);
        s.Begin(false);
        s.Mode(s.modes.write);
        s.Data(0x00);
        s.VppOnAtOnce();
        s.ProgramPulse();
        s.VppOff();
        s.WriteWait();
        s.End();
        EXPECT_EQ(s.chip->State().memory[0], 0x00) << name;
        const std::vector<std::string> v = s.Violations();
        ASSERT_EQ(v.size(), 2u) << name << Joined(v);
        EXPECT_TRUE(v[0].starts_with("programming voltage set up only ")) << v[0];
        EXPECT_TRUE(v[0].ends_with(" before the write pulse at 0x0000")) << v[0];
        EXPECT_TRUE(v[1].starts_with("programming voltage removed ")) << v[1];
        EXPECT_TRUE(v[1].ends_with(" after the write pulse at 0x0000")) << v[1];
    }
    // The ISP family reads only with the voltage on; without it the lines float.
    Socket isp("89S8252");
    isp.WriteBytes({{0x30, 0x00}});
    isp.PowerOn();
    isp.Mode(isp.modes.read);
    isp.Present(0x30);
    EXPECT_EQ(isp.ReadData(), 0xFF);
    isp.VppOn();
    EXPECT_EQ(isp.ReadData(), 0x00);
    isp.End();
    EXPECT_EQ(isp.Violations(), std::vector<std::string>{"read without programming voltage at 0x0030"});
}

TEST(FlashChip, LockBitOneStopsProgrammingAndLockBitTwoHidesTheCode) {
    for (const char* name : {"89C51", "89C1051", "89S53", "89C55WD"}) {
        Socket s(name);
        s.WriteBytes({{0x0003, 0x96}});
        s.ProgramLocks(0x01);
        s.Wait(&io::Timer::Delay10ms);  // the WD family's lock bits need it to take effect
        s.WriteBytes({{0x0004, 0x00}});
        EXPECT_EQ(s.chip->State().memory[4], 0xFF) << name;
        EXPECT_EQ(s.Violations(), std::vector<std::string>{"programming refused: Lock Bit-1 at 0x0004"}) << name;
        EXPECT_EQ(s.ReadAt(0x0003), 0x96) << name << ": still verifiable";

        s.ProgramLocks(0x02);
        s.Wait(&io::Timer::Delay10ms);
        EXPECT_EQ(s.ReadAt(0x0003), sim::kLockedReadPattern) << name;
        EXPECT_EQ(s.ReadBytes({s.TwentyPin() ? 0u : s.kind == Kind::Wd ? 0x000u : 0x030u}, s.modes.signature)[0], 0x1E)
            << name << ": the signature still reads";

        s.Erase();
        EXPECT_EQ(s.chip->State().lockBits, 0) << name;
        s.WriteBytes({{0x0004, 0x00}});
        EXPECT_EQ(s.ReadAt(0x0004), 0x00) << name;
        EXPECT_EQ(s.Violations().size(), 1u) << name << Joined(s.Violations());
    }
}

TEST(FlashChip, IspAndWdFamiliesReadTheirLockBitsBack) {
    struct Case {
        const char* name;
        uint8_t bits;
        uint8_t readBack;
    };
    const Case cases[] = {
        {"89S53", 0x00, 0xFF}, {"89S53", 0x01, 0xFB},   {"89S53", 0x02, 0xFD},   {"89S8252", 0x04, 0xFE},
        {"89S8252", 0x07, 0xF8}, {"89C51RC", 0x01, 0xFB}, {"89C51RC", 0x02, 0xF7}, {"89C55WD", 0x04, 0xEF},
        {"89C55WD", 0x07, 0xE3},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        if (c.bits) s.ProgramLocks(c.bits);
        s.Wait(&io::Timer::Delay10ms);
        EXPECT_EQ(s.ReadInMode(s.kind == Kind::Isp ? kIspReadLocks : kWdReadLocks), c.readBack) << c.name << " " << int(c.bits);
        EXPECT_EQ(s.chip->State().lockBits, c.bits) << c.name;
        EXPECT_TRUE(s.Violations().empty()) << c.name << Joined(s.Violations());
    }
}

TEST(FlashChip, WdLockBitsTakeEffectTenMillisecondsAfterTheirPulse) {
    Socket s("89C51RC");
    s.WriteBytes({{0x0000, 0x3C}});
    s.Begin(true);
    s.Mode(s.modes.lockBit[1]);
    s.Pulse(&io::Timer::Delay100us);
    s.Mode(s.modes.read);
    s.Present(0x0000);
    EXPECT_EQ(s.ReadData(), 0x3C);
    s.Mode(kWdReadLocks);
    EXPECT_EQ(s.ReadData(), 0xFF);
    s.Wait(&io::Timer::Delay10ms);
    EXPECT_EQ(s.ReadData(), 0xF7);
    s.Mode(s.modes.read);
    EXPECT_EQ(s.ReadData(), sim::kLockedReadPattern);
    s.End();
    EXPECT_TRUE(s.Violations().empty()) << Joined(s.Violations());
}

TEST(FlashChip, IspSerialFuseIsWrittenBothWaysAndSurvivesErase) {
    Socket s("89S53");
    EXPECT_EQ(s.ReadInMode(kIspReadFuse), 0xFE) << "enabled from the factory";
    s.ProgramFuse(false);
    EXPECT_EQ(s.ReadInMode(kIspReadFuse), 0xFF);
    s.Erase();
    EXPECT_FALSE(s.chip->State().serialFuseEnabled);
    s.ProgramFuse(true);
    EXPECT_EQ(s.ReadInMode(kIspReadFuse), 0xFE);
    EXPECT_TRUE(s.Violations().empty()) << Joined(s.Violations());
}

TEST(FlashChip, TwentyPinChipsCountTheirAddressAndMirrorTheirData) {
    Socket s("89C1051");
    s.Begin(true);
    s.Mode(s.modes.write);
    for (uint8_t busByte : {0x01, 0x12}) {  // as they leave the bus register, unmirrored
        s.board.DataByte = busByte;
        s.board.ShiftOutData();
        s.ProgramPulse();
        s.WriteWait();
        s.Advance();
    }
    EXPECT_EQ(s.chip->Counter(), 2u);
    EXPECT_EQ(s.chip->State().memory[0], 0x80);
    EXPECT_EQ(s.chip->State().memory[1], 0x48);

    // Pulled low and released, RST starts the counter over.
    s.VppOff();
    s.AssertReset();
    s.ReleaseReset();
    EXPECT_EQ(s.chip->Counter(), 0u);
    s.Mode(s.modes.read);
    s.board.ReadDataByte();
    EXPECT_EQ(s.board.DataByte, 0x01) << "mirrored back onto the bus";
    EXPECT_TRUE(s.chip->Events().empty()) << Joined(s.Violations()) << Joined(s.Warnings());

    // Advancing past the top is fine; using the position wraps and warns.
    for (uint32_t i = 0; i < s.chip->Size(); ++i) s.Advance();
    EXPECT_EQ(s.chip->Counter(), 0x400u);
    EXPECT_TRUE(s.chip->Events().empty());
    EXPECT_EQ(s.ReadData(), 0x80);
    EXPECT_EQ(s.Warnings(), std::vector<std::string>{"counter past the top: 0x0400 wraps to 0x0000"});

    // Stepping the counter while a byte is still being written.
    s.AssertReset();
    s.ReleaseReset();
    s.VppOn();
    s.Mode(s.modes.write);
    s.Advance();
    s.Data(0x0F);
    s.ProgramPulse();
    s.Advance();
    s.WriteWait();
    s.End();
    EXPECT_EQ(s.chip->State().memory[1], 0x48 & 0x0F);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{"counter advanced during the write cycle at 0x0001"});
}

TEST(FlashChip, SupplyRules) {
    struct Case {
        const char* name;
        const char* what;
        void (*steps)(Socket&);
        std::vector<std::string> violations;
    };
    const Case cases[] = {
        {"89C52", "voltage before supply",
         [](Socket& s) {
             s.VppOn();
             s.PowerOn();
         },
         {"programming voltage applied with the supply off", "supply came up with the programming voltage applied"}},
        {"89S53", "supply off under the voltage",
         [](Socket& s) {
             s.PowerOn();
             s.VppOn();
             s.PowerOff();
         },
         {"supply switched off with the programming voltage applied"}},
        {"89C2051", "RST high at power-up",
         [](Socket& s) {
             s.ReleaseReset();
             s.PowerOn();
         },
         {"supply came up with RST high"}},
        {"89C2051", "XTAL1 high at power-up",
         [](Socket& s) {
             s.HighAddress(0x01, 0);
             s.PowerOn();
         },
         {"supply came up with XTAL1 high"}},
        {"89C51", "pulse without supply",
         [](Socket& s) {
             s.board.ClearControlBit0();
             s.Mode(s.modes.write);
             s.Data(0x00);
             s.ProgramPulse();
         },
         {"pulse with the supply off"}},
        {"89S8252", "supply off during the write cycle",
         [](Socket& s) {
             s.WriteBytes({{0x10, 0x00}});
             s.Begin(true);
             s.Mode(s.modes.write);
             s.Present(0x11);
             s.Data(0x00);
             s.ProgramPulse();
             s.VppOff();
             s.PowerOff();
         },
         {"supply switched off during the write cycle at 0x0011"}},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        c.steps(s);
        s.Rest();
        EXPECT_EQ(s.Violations(), c.violations) << c.name << ", " << c.what;
        EXPECT_EQ(s.chip->State().memory[0], 0xFF) << c.name << ", " << c.what;
        EXPECT_FALSE(s.chip->Powered());
    }

    // Without supply the chip drives nothing; what it holds stays.
    Socket s("89C52");
    s.WriteBytes({{0x0000, 0x21}});
    s.Mode(s.modes.read);
    EXPECT_EQ(s.ReadData(), 0xFF);
    EXPECT_EQ(s.ReadAt(0x0000), 0x21);
}

TEST(FlashChip, AddressesBeyondTheMemoryReadErasedAndIgnoreWrites) {
    for (const auto& [name, beyond] : {std::pair{"89C55", 0x5000u}, {"89S8252", 0x2800u}, {"89S53", 0x3FFFu}, {"89C55WD", 0x7FFFu}}) {
        Socket s(name);
        s.WriteBytes({{beyond, 0x00}});
        EXPECT_EQ(s.chip->State().memory, std::vector<uint8_t>(s.chip->Size(), 0xFF)) << name;
        EXPECT_EQ(s.ReadAt(beyond), 0xFF) << name;
        char address[16];
        std::snprintf(address, sizeof address, "0x%04X", beyond);
        EXPECT_EQ(s.Warnings(), (std::vector<std::string>{std::string("write beyond the memory at ") + address,
                                                          std::string("read beyond the memory at ") + address}))
            << name;
        EXPECT_TRUE(s.Violations().empty()) << name << Joined(s.Violations());
    }
}

TEST(FlashChip, AByteThatWillNotProgramStaysAsItWas) {
    Socket s("89C4051");
    s.chip->WillNotProgram(0x0001);
    s.WriteBytes({{0x0000, 0x11}, {0x0001, 0x22}, {0x0002, 0x33}});
    EXPECT_EQ(s.ReadBytes({0, 1, 2}, s.modes.read), (std::vector<uint8_t>{0x11, 0xFF, 0x33}));
    EXPECT_TRUE(s.Violations().empty()) << Joined(s.Violations());
}

TEST(FlashChip, TwentyPinCounterClockRulesBelowTheBoardsReach) {
    struct Case {
        uint64_t highFor;     // XTAL1 high phase
        uint64_t afterCycle;  // rising edge this long after the write cycle's end
        std::vector<std::string> violations;
    };
    const Case cases[] = {
        {200, 1000, {}},
        {100, 1000, {"XTAL1 high for only 0.1 µs at counter 0x0001"}},
        {200, 500, {"counter advanced 0.5 µs after the write cycle at 0x0000"}},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<FlashChip> chip = FlashChip::Make("89C2051");
        sim::SocketLines lines;
        lines.controlRegister = 0x1D;  // supply on, write code
        lines.addressHigh = 0x02;      // reset held
        lines.controlPort = 0x06;
        lines.bus = 0x00;
        uint64_t t = 1000;
        chip->LinesChanged(lines, t);
        lines.addressHigh = 0x00;  // RST high: counter at 0
        chip->LinesChanged(lines, t += 1000);
        lines.controlPort = 0x04;  // 12 V
        chip->LinesChanged(lines, t += 100'000);
        lines.controlPort = 0x05;
        chip->LinesChanged(lines, t += 20'000);
        lines.controlPort = 0x04;
        chip->LinesChanged(lines, t += 10'000);
        lines.addressHigh = 0x01;
        chip->LinesChanged(lines, t += 2'000'000 + c.afterCycle);
        lines.addressHigh = 0x00;
        chip->LinesChanged(lines, t += c.highFor);
        EXPECT_EQ(chip->Counter(), 1u);
        EXPECT_EQ(chip->State().memory[0], 0x00);
        EXPECT_EQ(chip->Violations(), c.violations) << c.highFor << " " << c.afterCycle;
    }
}

TEST(FlashChip, AStateOfTheWrongSizeReadsErasedWhereItEndsAndComesRightWithErase) {
    Socket s("89C52");
    s.chip->State().memory.assign(0x10, 0x00);  // as from a truncated file
    s.WriteBytes({{0x0100, 0x12}});
    EXPECT_EQ(s.ReadBytes({0x000F, 0x0100}, s.modes.read), (std::vector<uint8_t>{0x00, 0xFF}));
    s.Erase();
    EXPECT_EQ(s.chip->State().memory, std::vector<uint8_t>(0x2000, 0xFF));
}

TEST(FlashChip, KeepsTheFirstThousandEventsAndCountsTheRest) {
    Socket s("89C52");
    s.board.ClearControlBit0();
    for (int i = 0; i < 1100; ++i) s.board.PulseControlBit0();
    ASSERT_EQ(s.chip->Events().size(), sim::ChipEventLog::kKept);
    EXPECT_EQ(s.chip->EventsDropped(), 100u);
    EXPECT_EQ(s.chip->Events().front().what, "pulse with the supply off");
    EXPECT_FALSE(s.chip->Events().front().warning);
    EXPECT_LT(s.chip->Events().front().time, s.chip->Events().back().time);
    s.chip->ClearEvents();
    EXPECT_TRUE(s.chip->Events().empty());
    EXPECT_EQ(s.chip->EventsDropped(), 0u);
}

}  // namespace
}  // namespace test
