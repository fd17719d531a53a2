// The parallel EEPROM models, driven through the EEPROM board as Quillon's
// routines drive them, and below the board's reach with lines set by hand:
// what each part writes and reads, and what it refuses, loses and records.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/BenchBoard.h"
#include "sim/EepromChip.h"

namespace test {
namespace {

using sim::EepromChip;
using sim::WriteStrobe;

constexpr uint64_t kUs = 1000, kMs = 1000 * kUs;
constexpr uint16_t k1ms = 1193, k2ms = 2387, k5ms = 5965, k10ms = 11932;  // the write delays, in timer ticks

struct PartCase {
    const char* name;
    WriteStrobe strobe;
    uint32_t size;
};

constexpr PartCase kParts[] = {
    {"28C16", WriteStrobe::A11, 0x0800},    {"28C17", WriteStrobe::Strobe, 0x0800}, {"28C64", WriteStrobe::Strobe, 0x2000},
    {"28C256", WriteStrobe::Strobe, 0x8000}, {"29C256", WriteStrobe::A14, 0x8000},  {"2816", WriteStrobe::A11, 0x0800},
    {"2817", WriteStrobe::Strobe, 0x0800},  {"2864", WriteStrobe::Strobe, 0x2000},
};

const PartCase& Part(std::string_view name) {
    return *std::find_if(std::begin(kParts), std::end(kParts), [&](const PartCase& p) { return p.name == name; });
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += "\n  " + t;
    return all;
}

// Each text holds its expected part, in order.
bool Match(const std::vector<std::string>& texts, const std::vector<std::string>& parts) {
    if (texts.size() != parts.size()) return false;
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i].find(parts[i]) == std::string::npos) return false;
    return true;
}

// A part seated in the socket of a board at rest, and the board steps of Quillon's routines.
class Socket {
public:
    explicit Socket(const PartCase& p) : strobe(p.strobe), chip(EepromChip::Make(p.name)) {
        b.bench.Insert(chip.get());
        b.bench.Claim(0x378);
        b.timer.TimerInit();
        board.PowerFlags = 0x81;
        board.SetControlBit2();
        Rest();
    }
    explicit Socket(std::string_view name) : Socket(Part(name)) {}

    const WriteStrobe strobe;
    sim::BenchBoard b;
    io::Board& board = b.board;
    std::unique_ptr<EepromChip> chip;

    void Wait(uint16_t ticks) { b.timer.DelayWrite(ticks); }
    uint64_t Now() { return b.bench.Now(); }

    // ---- Single board steps
    void Rest() {
        board.AddressLow = 0;
        board.AddressHigh = 0;
        board.ControlByte = 0;
        board.SetControlBit1();
        board.SendAddressLow();
        board.SendAddressHigh();
        board.SendControlByte();
        board.SetControlBit2();
        board.ReleaseBus();
        PowerOff();
        board.SetControlBit0();
    }
    // /WE inactive, before the supply comes on.
    void PrepareWriteLine() {
        if (strobe == WriteStrobe::Strobe) return board.ClearControlBit0();
        board.AddressHigh = strobe == WriteStrobe::A11 ? 0x08 : 0x40;
        board.SendAddressHigh();
    }
    void PowerOn(bool settle = true) {
        board.ReleaseBus();
        board.PowerFlags &= ~0x80;
        board.ClearControlBit0();
        board.SendControlByte();
        if (settle) b.timer.Delay500ms();
    }
    void PowerOff() {
        board.PowerFlags |= 0x80;
        board.ClearControlBit0();
        board.SendControlByte();
        board.SetControlBit0();
    }
    void ControlBit(uint16_t bit, bool set) {
        board.ControlByte = set ? (board.ControlByte | bit) : (board.ControlByte & ~bit);
        board.SendControlByte();
    }
    void Outputs(bool enabled) { ControlBit(0x02, !enabled); }
    void Select(bool selected = true) { ControlBit(0x04, !selected); }
    void Present(uint32_t address) {
        board.AddressLow = address & 0xFF;
        board.AddressHigh = address >> 8 & 0x7F;
        if (strobe == WriteStrobe::A11) board.AddressHigh |= 0x08;
        if (strobe == WriteStrobe::A14) {
            address & 0x4000 ? board.ClearControlBit0() : board.SetControlBit0();
            board.AddressHigh = (board.AddressHigh & 0x3F) | 0x40;
        }
        board.SendAddressLow();
        board.SendAddressHigh();
    }
    void Data(uint8_t value) {
        board.DataByte = value;
        board.ShiftOutData();
    }
    void PulseWrite() {
        if (strobe == WriteStrobe::Strobe) return board.PulseControlBit0();
        const uint16_t line = strobe == WriteStrobe::A11 ? 0x08 : 0x40;
        board.AddressHigh &= ~line;
        board.SendAddressHigh();
        board.AddressHigh |= line;
        board.SendAddressHigh();
    }
    uint8_t Read() {
        board.ReadDataByte();
        return static_cast<uint8_t>(board.DataByte);
    }

    // ---- Routine pieces
    void Begin(bool writing) {
        PrepareWriteLine();
        PowerOn();
        Outputs(!writing);
        Select();
    }
    // One byte per cycle, each followed by the write delay, as Quillon's write does.
    void WriteBytes(const std::vector<std::pair<uint32_t, uint8_t>>& bytes, uint16_t delay = k10ms) {
        Begin(true);
        for (const auto& [address, value] : bytes) {
            Present(address);
            Data(value);
            PulseWrite();
            Wait(delay);
        }
        Wait(k10ms);  // the last cycle ends before the supply goes (cutting it short is a case of its own)
        Wait(k1ms);
        board.ReadDataByte();  // releases the bus
        Outputs(true);         // as for the verify pass, so that the rest state writes nothing
        Rest();
    }
    std::vector<uint8_t> ReadBytes(const std::vector<uint32_t>& addresses) {
        Begin(false);
        std::vector<uint8_t> read;
        for (uint32_t address : addresses) {
            Present(address);
            read.push_back(Read());
        }
        Rest();
        return read;
    }
    uint8_t ReadAt(uint32_t address) { return ReadBytes({address})[0]; }

    std::vector<std::string> Violations() const { return chip->Violations(); }
    std::vector<std::string> Warnings() const { return chip->Warnings(); }
};

// The socket lines set by hand, for timing below the board's reach: supply on,
// /CE low, /OE high, /WE and A14 on the part's lines.
class Wires {
public:
    Wires(EepromChip& chip, WriteStrobe strobe) : chip_(chip), strobe_(strobe) {
        lines_.controlRegister = 0x03;
        Apply(0);
        Apply(1000);
    }
    // A pulse `gap` after the last one ended (or after power-up), `width` long.
    void Write(uint32_t address, uint8_t value, uint64_t gap, uint64_t width = 1000) {
        address_ = address;
        lines_.bus = value;
        we_ = true;
        Apply(gap);
        we_ = false;
        Apply(width);
    }

private:
    void Apply(uint64_t after) {
        lines_.addressLow = address_ & 0xFF;
        uint8_t high = address_ >> 8 & 0x3F;
        switch (strobe_) {
            case WriteStrobe::A11:
                high = (high & ~0x08) | (we_ ? 0 : 0x08);
                lines_.controlPort = 0;
                break;
            case WriteStrobe::Strobe:
                high |= address_ & 0x4000 ? 0x40 : 0;
                lines_.controlPort = we_ ? 1 : 0;
                break;
            case WriteStrobe::A14:
                high |= we_ ? 0 : 0x40;
                lines_.controlPort = address_ & 0x4000 ? 0 : 1;
                break;
        }
        lines_.addressHigh = high;
        chip_.LinesChanged(lines_, now_ += after);
    }

    EepromChip& chip_;
    WriteStrobe strobe_;
    sim::SocketLines lines_;
    uint64_t now_ = 0;
    uint32_t address_ = 0;
    bool we_ = false;
};

TEST(EepromChip, MakesTheEightCataloguePartsFreshAndNothingElse) {
    for (const PartCase& p : kParts) {
        const std::unique_ptr<EepromChip> chip = EepromChip::Make(p.name);
        ASSERT_TRUE(chip) << p.name;
        EXPECT_EQ(chip->Name(), p.name);
        EXPECT_EQ(chip->Size(), p.size) << p.name;
        EXPECT_EQ(chip->Facts().strobe, p.strobe) << p.name;
        EXPECT_EQ(chip->State(), sim::EepromChipState{std::vector<uint8_t>(p.size, 0xFF)}) << p.name;
        EXPECT_FALSE(chip->Powered()) << p.name;
        EXPECT_TRUE(chip->Events().empty()) << p.name;
    }
    for (const char* other : {"", "28c64", "AT28C64", "28C64B", "89C51", "28C256 "}) EXPECT_FALSE(EepromChip::Make(other)) << other;
}

TEST(EepromChip, EveryPartWritesAndReadsBackByItsStrobeLine) {
    for (const PartCase& p : kParts) {
        Socket s(p);
        const uint32_t top = p.size - 1;
        s.chip->State().memory[0x0155] = 0x5A;  // overwritten, not ANDed: the part erases the byte itself
        // The top address needs every address line the part has; each byte in a sector of its own.
        const std::vector<std::pair<uint32_t, uint8_t>> bytes = {{0x0000, 0x12}, {0x0155, 0xA5}, {p.size / 2, 0x00}, {top, 0x3C}};
        s.WriteBytes(bytes);
        std::vector<uint8_t> image(p.size, 0xFF);
        for (const auto& [address, value] : bytes) image[address] = value;
        EXPECT_EQ(s.chip->State().memory, image) << p.name;
        // A line the part lacks (A11 and up on the 2K parts, A13 and A14 on the 8K) is ignored.
        EXPECT_EQ(s.ReadBytes({0x0000, 0x0155, 0x0156, p.size / 2, top, (p.size | 0x0155) & 0x7FFF}),
                  (std::vector<uint8_t>{0x12, 0xA5, 0xFF, 0x00, 0x3C, 0xA5}))
            << p.name;
        EXPECT_TRUE(s.chip->Events().empty()) << p.name << Joined(s.Violations()) << Joined(s.Warnings());
        EXPECT_FALSE(s.chip->Powered()) << p.name;
    }
}

TEST(EepromChip, AWriteDelayShorterThanTheWriteCycleLosesTheNextByte) {
    struct Case {
        const char* name;
        uint16_t delay;
        uint64_t writeCycle;  // 0: the part's own
        bool taken;
    };
    const Case cases[] = {
        {"28C256", k2ms, 0, false}, {"28C256", k10ms, 0, true}, {"29C256", k5ms, 0, false}, {"29C256", k10ms, 0, true},
        {"28C64", k1ms, 0, true},   {"2816", k1ms, 0, true},    {"28C64", k2ms, 5 * kMs, false},  // a slow part
        {"2817", k10ms, 5 * kMs, true},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        if (c.writeCycle) s.chip->SetWriteCycle(c.writeCycle);
        s.WriteBytes({{0x0010, 0x11}, {0x0050, 0x22}}, c.delay);
        const std::string what = std::string(c.name) + ", delay " + std::to_string(c.delay);
        EXPECT_EQ(s.ReadBytes({0x0010, 0x0050}), (std::vector<uint8_t>{0x11, c.taken ? uint8_t{0x22} : uint8_t{0xFF}})) << what;
        if (c.taken)
            EXPECT_TRUE(s.Violations().empty()) << what << Joined(s.Violations());
        else
            EXPECT_EQ(s.Violations(), std::vector<std::string>{"write pulse during the write cycle at 0x0050"}) << what;
    }
}

TEST(EepromChip, WritesThePartCannotTakeAreRefusedAndRecorded) {
    struct Case {
        const char* name;
        const char* what;
        std::function<void(Socket&)> steps;
        std::vector<std::string> violations;  // each holds its part
        std::vector<std::string> warnings;
        uint8_t after;  // the byte at 0x0020, which held 0x00
    };
    const auto write = [](Socket& s) {
        s.Present(0x0020);
        s.Data(0x5A);
        s.PulseWrite();
        s.Wait(k10ms);
    };
    const Case cases[] = {
        {"28C64", "/OE low",
         [&](Socket& s) {
             s.Begin(false);
             write(s);
         },
         {"write pulse while /OE is low at 0x0020"}, {}, 0x00},
        {"2816", "/OE low",
         [&](Socket& s) {
             s.Begin(false);
             write(s);
         },
         {"write pulse while /OE is low at 0x0020"}, {}, 0x00},
        {"29C256", "/CE high",
         [&](Socket& s) {
             s.Begin(true);
             s.Select(false);
             write(s);
         },
         {"write pulse without /CE at 0x0020"}, {}, 0x00},
        {"28C17", "first 5 ms after power-up",
         [&](Socket& s) {
             s.PrepareWriteLine();
             s.PowerOn(false);
             s.Outputs(false);
             s.Select();
             write(s);
         },
         {" after power-up (at least 5.0 ms) at 0x0020"}, {}, 0x00},
        {"28C16", "no supply",
         [&](Socket& s) {
             s.PrepareWriteLine();
             s.Outputs(false);
             write(s);
         },
         {"write pulse with the supply off at 0x0020"}, {}, 0x00},
        {"28C256", "supply off during the write cycle",
         [&](Socket& s) {
             s.Begin(true);
             s.Present(0x0020);
             s.Data(0x5A);
             s.PulseWrite();
             s.PowerOff();
         },
         {"supply switched off during the write cycle at 0x0020: its bytes read 0xFF"}, {}, 0xFF},
        {"2864", "data lines floating",
         [&](Socket& s) {
             s.Begin(true);
             s.Present(0x0020);
             s.PulseWrite();
             s.Wait(k10ms);
         },
         {}, {"write pulse with the data lines floating at 0x0020"}, 0xFF},
        {"29C256", "/WE low at power-up",  // the rest state's /WE, with no PrepareWriteLine
         [&](Socket& s) {
             s.PowerOn();
             s.Outputs(false);
             s.Select();
             s.Present(0x0020);
         },
         {}, {"supply came up with /WE low"}, 0x00},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        s.chip->State().memory[0x0020] = 0x00;
        c.steps(s);
        s.Outputs(true);
        s.Rest();
        const std::string what = std::string(c.name) + ", " + c.what;
        EXPECT_TRUE(Match(s.Violations(), c.violations)) << what << Joined(s.Violations());
        EXPECT_TRUE(Match(s.Warnings(), c.warnings)) << what << Joined(s.Warnings());
        EXPECT_EQ(s.chip->State().memory[0x0020], c.after) << what;
    }
}

TEST(EepromChip, ReadsDuringTheWriteCyclePoll) {
    struct Case {
        const char* name;
        uint64_t writeCycle;  // 0: the part's own
        bool toggleBit;
    };
    const Case cases[] = {{"28C256", 0, true}, {"29C256", 0, true}, {"28C64", 10 * kMs, false}};
    for (const Case& c : cases) {
        Socket s(c.name);
        if (c.writeCycle) s.chip->SetWriteCycle(c.writeCycle);
        s.Begin(true);
        s.Present(0x0123);
        s.Data(0x35);
        s.PulseWrite();
        s.Outputs(true);
        std::vector<uint8_t> polls;
        for (int i = 0; i < 4; ++i) polls.push_back(s.Read());
        EXPECT_TRUE(s.chip->Busy(s.Now())) << c.name;
        for (size_t i = 0; i < polls.size(); ++i) {
            EXPECT_EQ(polls[i] & 0xBF, 0xB5 & 0xBF) << c.name << ": I/O7 complemented, the rest as written";
            if (!c.toggleBit) {
                EXPECT_EQ(polls[i], 0xB5) << c.name;
            } else if (i > 0) {
                EXPECT_NE(polls[i] & 0x40, polls[i - 1] & 0x40) << c.name << ": I/O6 toggles";
            }
        }
        s.Wait(k10ms);
        s.Wait(k1ms);
        EXPECT_FALSE(s.chip->Busy(s.Now())) << c.name;
        EXPECT_EQ(s.Read(), 0x35) << c.name;
        EXPECT_EQ(s.Read(), 0x35) << c.name;
        s.Rest();
        EXPECT_TRUE(s.chip->Events().empty()) << c.name << Joined(s.Violations()) << Joined(s.Warnings());
    }
}

TEST(EepromChip, OneBytePerCycleKeepsOnly29C256sLastByteOfEachSector) {
    struct Case {
        const char* name;
        bool sectorBytesLost;
        std::vector<std::pair<uint32_t, uint8_t>> image;  // of 0x0000-0x00BF, all 0x00 before, besides
        uint8_t rest;                                     // the other bytes of the first two sectors
    };
    const std::vector<std::pair<uint32_t, uint8_t>> written = {{0x3E, 0x3E}, {0x3F, 0x3F}, {0x40, 0x40}, {0x41, 0x41}, {0x42, 0x42}};
    const Case cases[] = {
        {"29C256", true, {{0x3F, 0x3F}, {0x42, 0x42}}, 0xFF},
        {"29C256", false, written, 0x00},
        {"28C256", true, written, 0x00},
    };
    for (const Case& c : cases) {
        Socket s(c.name);
        s.chip->SetUnloadedSectorBytesLost(c.sectorBytesLost);
        std::fill_n(s.chip->State().memory.begin(), 0xC0, 0x00);
        s.WriteBytes(written);
        std::vector<uint8_t> image(0xC0, 0x00);
        std::fill_n(image.begin(), 0x80, c.rest);
        for (const auto& [address, value] : c.image) image[address] = value;
        EXPECT_EQ(std::vector<uint8_t>(s.chip->State().memory.begin(), s.chip->State().memory.begin() + 0xC0), image)
            << c.name << (c.sectorBytesLost ? ", strict" : ", lenient");
        EXPECT_TRUE(s.chip->Events().empty()) << c.name << Joined(s.Violations());
    }
}

TEST(EepromChip, PageModeTakesBytesOfOnePageWithinTheLoadWindow) {
    struct Write {
        uint32_t address;
        uint8_t value;
        uint64_t gap;  // from the last /WE rise to this fall
    };
    struct Case {
        const char* name;
        const char* what;
        std::vector<Write> writes;
        std::vector<std::pair<uint32_t, uint8_t>> reads;
        std::vector<std::string> violations;
    };
    const Case cases[] = {
        {"28C256", "three bytes of a page", {{0x40, 0x01, 10 * kMs}, {0x41, 0x02, 100 * kUs}, {0x7F, 0x03, 150 * kUs}},
         {{0x40, 0x01}, {0x41, 0x02}, {0x7F, 0x03}}, {}},
        {"29C256", "two bytes of a sector above A14", {{0x4040, 0x01, 10 * kMs}, {0x407F, 0x02, 100 * kUs}},
         {{0x4040, 0x01}, {0x407F, 0x02}, {0x0040, 0xFF}}, {}},
        {"28C256", "the window closed", {{0x40, 0x01, 10 * kMs}, {0x41, 0x02, 151 * kUs}}, {{0x40, 0x01}, {0x41, 0xFF}},
         {"write pulse during the write cycle at 0x0041"}},
        {"28C256", "the window and the cycle over", {{0x40, 0x01, 10 * kMs}, {0x41, 0x02, 10 * kMs + 150 * kUs}},
         {{0x40, 0x01}, {0x41, 0x02}}, {}},
        {"28C256", "another page ends the load", {{0x40, 0x01, 10 * kMs}, {0x80, 0x02, 50 * kUs}, {0x41, 0x03, 50 * kUs}},
         {{0x40, 0x01}, {0x80, 0xFF}, {0x41, 0xFF}},
         {"write pulse to another page during the page load (page 0x0040) at 0x0080",
          "write pulse during the write cycle at 0x0041"}},
        {"28C64", "no page mode", {{0x40, 0x01, 10 * kMs}, {0x41, 0x02, 100 * kUs}}, {{0x40, 0x01}, {0x41, 0xFF}},
         {"write pulse during the write cycle at 0x0041"}},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<EepromChip> chip = EepromChip::Make(c.name);
        Wires wires(*chip, chip->Facts().strobe);
        for (const Write& w : c.writes) wires.Write(w.address, w.value, w.gap);
        for (const auto& [address, value] : c.reads) EXPECT_EQ(chip->State().memory[address], value) << c.name << ", " << c.what;
        EXPECT_EQ(chip->Violations(), c.violations) << c.name << ", " << c.what;
    }
}

TEST(EepromChip, WritePulsesShorterThanThePartsMinimumAreRefused) {
    struct Case {
        const char* name;
        uint64_t width;
        const char* violation;  // nullptr: taken
    };
    const Case cases[] = {
        {"28C64", 99, "write pulse too short (99 ns, at least 100 ns) at 0x0010"}, {"28C64", 100, nullptr},
        {"2816", 50, "write pulse too short (50 ns, at least 100 ns) at 0x0010"},  {"2816", 100, nullptr},
        {"29C256", 89, "write pulse too short (89 ns, at least 90 ns) at 0x0010"}, {"29C256", 90, nullptr},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<EepromChip> chip = EepromChip::Make(c.name);
        Wires wires(*chip, chip->Facts().strobe);
        wires.Write(0x0010, 0x42, 10 * kMs, c.width);
        EXPECT_EQ(chip->State().memory[0x10], c.violation ? 0xFF : 0x42) << c.name << " " << c.width;
        EXPECT_EQ(chip->Violations(), c.violation ? std::vector<std::string>{c.violation} : std::vector<std::string>{})
            << c.name << " " << c.width;
    }
}

TEST(EepromChip, APartDrivesTheDataLinesOnlyWhenPoweredSelectedAndEnabled) {
    struct Case {
        const char* what;
        std::function<void(Socket&)> steps;
        uint8_t read;
    };
    const Case cases[] = {
        {"powered, selected, enabled", [](Socket& s) { s.Begin(false); }, 0x00},
        {"empty socket",
         [](Socket& s) {
             s.b.bench.Insert(nullptr);
             s.Begin(false);
         },
         0xFF},
        {"supply off",
         [](Socket& s) {
             s.PrepareWriteLine();
             s.Outputs(true);
             s.Select();
         },
         0xFF},
        {"/OE high", [](Socket& s) { s.Begin(true); }, 0xFF},
        {"/CE high",
         [](Socket& s) {
             s.Begin(false);
             s.Select(false);
         },
         0xFF},
    };
    for (const Case& c : cases) {
        Socket s("28C64");
        s.chip->State().memory[0x0010] = 0x00;
        c.steps(s);
        s.Present(0x0010);
        EXPECT_EQ(s.Read(), c.read) << c.what;
        s.Rest();
        EXPECT_TRUE(s.chip->Events().empty()) << c.what << Joined(s.Violations());
    }
}

TEST(EepromChip, AByteThatWillNotProgramStaysAsItWas) {
    for (const char* name : {"28C16", "29C256"}) {  // the 29C256's sector rewrite passes it by too
        Socket s(name);
        s.chip->State().memory[0x0001] = 0x5A;
        s.chip->WillNotProgram(0x0001);
        s.WriteBytes({{0x0001, 0x22}, {0x0000, 0x11}, {0x0042, 0x33}});
        EXPECT_EQ(s.ReadBytes({0x0000, 0x0001, 0x0042}), (std::vector<uint8_t>{0x11, 0x5A, 0x33})) << name;
        EXPECT_TRUE(s.Violations().empty()) << name << Joined(s.Violations());
    }
}

TEST(EepromChip, AStateOfTheWrongSizeReadsErasedWhereItEndsAndComesRightWithAWrite) {
    for (const size_t size : {size_t{0x10}, size_t{0x4000}}) {  // as from a truncated or a foreign file
        Socket s("28C64");
        s.chip->State().memory.assign(size, 0x00);
        EXPECT_EQ(s.ReadBytes({0x000F, 0x0100}), (std::vector<uint8_t>{0x00, size > 0x100 ? uint8_t{0x00} : uint8_t{0xFF}})) << size;
        s.WriteBytes({{0x0100, 0x12}});
        ASSERT_EQ(s.chip->State().memory.size(), 0x2000u) << size;
        EXPECT_EQ(s.ReadBytes({0x000F, 0x0010, 0x0100}), (std::vector<uint8_t>{0x00, size > 0x10 ? uint8_t{0x00} : uint8_t{0xFF}, 0x12}))
            << size;
    }
}

}  // namespace
}  // namespace test
