// The waveform dump of the socket lines, written while the real routines
// program a chip on the bench and read back as a viewer would.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/Progress.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/EepromEntries.h"
#include "flash/FlashCatalogue.h"
#include "flash/FlashEntries.h"
#include "shell/AppState.h"
#include "sim/BenchBoard.h"
#include "sim/EepromChip.h"
#include "sim/FlashChip.h"
#include "sim/Vcd.h"

namespace test {
namespace {

constexpr uint16_t kAT89C52 = 1, kAT89C1051 = 3, kAT28C64 = 2;

struct Change {
    uint64_t time;
    std::string name, value;
};

// Just enough of a VCD reader: the $var names and every change after the header.
struct Dump {
    std::string header;
    std::vector<std::string> names;
    std::vector<Change> changes;

    explicit Dump(const std::string& text) {
        std::istringstream in(text);
        std::map<std::string, std::string> nameOf;
        std::string line;
        while (std::getline(in, line) && line != "$enddefinitions $end") {
            header += line + "\n";
            std::istringstream words(line);
            std::string var, kind, width, code, name, range;
            if (words >> var >> kind >> width >> code >> name && var == "$var") {
                if (words >> range && range != "$end") name += range;
                names.push_back(name);
                nameOf[code] = name;
            }
        }
        uint64_t time = 0;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '$') continue;
            if (line[0] == '#') {
                time = std::stoull(line.substr(1));
            } else if (line[0] == 'b') {
                const size_t space = line.find(' ');
                changes.push_back({time, nameOf.at(line.substr(space + 1)), line.substr(1, space - 1)});
            } else {
                changes.push_back({time, nameOf.at(line.substr(1)), line.substr(0, 1)});
            }
        }
    }
    // The value at `time`, changes made at that moment included.
    std::string At(const std::string& name, uint64_t time) const {
        std::string value;
        for (const Change& c : changes)
            if (c.time <= time && c.name == name) value = c.value;
        return value;
    }
    std::vector<uint64_t> Edges(const std::string& name, const std::string& to) const {
        std::vector<uint64_t> times;
        for (const Change& c : changes)
            if (c.name == name && c.value == to) times.push_back(c.time);
        return times;
    }
    // The first time after `from` at which `name` changes to `to`.
    uint64_t Next(const std::string& name, const std::string& to, uint64_t from) const {
        for (const Change& c : changes)
            if (c.time > from && c.name == name && c.value == to) return c.time;
        return 0;
    }
};

std::string Bits(uint32_t value, int width) {
    std::string text;
    for (int bit = width - 1; bit >= 0; --bit) text += (value >> bit & 1) ? '1' : '0';
    return text;
}

// One byte of a flash chip written by the Write command, dumped.
struct FlashWrite {
    std::unique_ptr<sim::FlashChip> chip;
    std::string text;
    uint64_t bytes = 0;

    FlashWrite(uint16_t type, uint32_t address, uint8_t value, std::optional<std::pair<uint32_t, uint32_t>> range) {
        const flash::DeviceEntry& device = *flash::FindDevice(type);
        chip = sim::FlashChip::Make(device.chip);
        sim::BenchBoard b;
        flash::FlashSocket socket{b.board};
        shell::Buffer image;
        image.fill(shell::kErasedEntry);
        image[address] = value;
        device::NoProgress progress;
        b.bench.Insert(chip.get());
        b.bench.Claim(0x378);
        std::ostringstream out;
        sim::VcdRecorder vcd(out, device.chip);
        if (range) vcd.Range(range->first, range->second);
        b.bench.Watch(&vcd);
        vcd.Start(b.bench.Lines(), b.bench.Now());
        flash::StartUpBoard(b.board);
        b.timer.TimerInit();
        flash::BoardIdle(socket, type);
        EXPECT_EQ(flash::WriteDevice(socket, {type, image, progress}), "OK");
        text = out.str();
        bytes = vcd.Bytes();
    }
};

struct FlashCase {
    const char* chip;
    uint16_t type;
    const char* prog;
    const char* vpp;
    const char* data;
    uint64_t minWidth;  // the routine's pulse, ns
};

constexpr FlashCase kFlashCases[] = {
    {"89C52", kAT89C52, "ALE/PROG", "EA/VPP_12V", "P0[7:0]", 12'000},  // a 12 µs delay
    {"89C1051", kAT89C1051, "P3.2/PROG", "VPP_12V", "P1[7:0]", 1'000},  // a port write
};

TEST(Vcd, TheProgrammingPulseOfAByteComesUnderProgrammingVoltageWithItsData) {
    constexpr uint32_t kAddress = 0x123 & 0x3FF;
    for (const FlashCase& c : kFlashCases) {
        SCOPED_TRACE(c.chip);
        const FlashWrite w(c.type, kAddress, 0x5A, std::nullopt);
        ASSERT_EQ(w.chip->State().memory[kAddress], 0x5A);
        const Dump d(w.text);
        EXPECT_EQ(d.header.find("$timescale 1 ns $end"), d.header.find("$timescale"));
        EXPECT_NE(d.header.find("$scope module socket $end"), std::string::npos);
        EXPECT_NE(w.text.find("$dumpvars"), std::string::npos);
        EXPECT_EQ(w.bytes, w.text.size());

        // The byte's pulse: the fall at which the data lines carry it.
        uint64_t fall = 0;
        for (uint64_t t : d.Edges(c.prog, "0"))
            if (d.At(c.data, t) == Bits(0x5A, 8) && (std::string(c.chip) != "89C52" || d.At("A[14:0]", t) == Bits(kAddress, 15)))
                fall = t;
        ASSERT_NE(fall, 0u);
        const uint64_t rise = d.Next(c.prog, "1", fall);
        EXPECT_GE(rise - fall, c.minWidth);
        EXPECT_LT(rise - fall, 110'000u);  // the datasheet's longest
        EXPECT_EQ(d.At(c.vpp, fall), "1");
        uint64_t vppOn = 0;
        for (uint64_t t : d.Edges(c.vpp, "1"))
            if (t <= fall) vppOn = t;
        EXPECT_GE(fall - vppOn, 10'000u);  // set up before the pulse
        EXPECT_EQ(d.At(c.vpp, rise), "1");
        EXPECT_EQ(d.At("VCC", fall), "1");
    }
}

TEST(Vcd, AnAddressRangeKeepsOnlyThePulsesWithinIt) {
    constexpr uint32_t kAddress = 0x105;
    for (const FlashCase& c : kFlashCases) {
        SCOPED_TRACE(c.chip);
        const FlashWrite whole(c.type, kAddress, 0x5A, std::nullopt);
        const FlashWrite one(c.type, kAddress, 0x5A, std::pair<uint32_t, uint32_t>{kAddress, kAddress});
        const Dump d(one.text);
        const std::vector<uint64_t> falls = d.Edges(c.prog, "0");
        ASSERT_FALSE(falls.empty());
        // Every pulse recorded is the byte's or another at its address (no erase there).
        for (uint64_t t : falls) EXPECT_EQ(d.At(c.data, t), Bits(0x5A, 8)) << t;
        EXPECT_LT(one.bytes * 50, whole.bytes);
    }
}

TEST(Vcd, TheWriteStrobeOfAnEepromByte) {
    constexpr uint16_t kAddress = 0x0A40;
    const eeprom::DeviceEntry& device = *eeprom::FindDevice(kAT28C64);
    const std::unique_ptr<sim::EepromChip> chip = sim::EepromChip::Make(device.chip);
    sim::BenchBoard b;
    eeprom::EepromSocket socket{b.board};
    shell::Buffer image;
    image.fill(shell::kErasedEntry);
    image[kAddress] = 0xA5;
    device::NoProgress progress;
    b.bench.Insert(chip.get());
    b.bench.Claim(0x378);
    std::ostringstream out;
    sim::VcdRecorder vcd(out, device.chip);
    b.bench.Watch(&vcd);
    vcd.Start(b.bench.Lines(), b.bench.Now());
    eeprom::StartUpBoard(b.board);
    b.timer.TimerInit();
    eeprom::RestAtStart(socket);
    ASSERT_EQ(eeprom::WriteDevice(socket, {kAT28C64, image, progress, {kAddress, kAddress, kAddress}}), "OK");
    ASSERT_EQ(chip->State().memory[kAddress], 0xA5);

    const Dump d(out.str());
    std::vector<uint64_t> falls;
    for (uint64_t t : d.Edges("/WE", "0"))
        if (d.At("VCC", t) == "1" && d.At("/CE", t) == "0") falls.push_back(t);
    ASSERT_EQ(falls.size(), 1u);
    const uint64_t fall = falls[0], rise = d.Next("/WE", "1", fall);
    EXPECT_EQ(d.At("A[14:0]", fall), Bits(kAddress, 15));
    EXPECT_EQ(d.At("/OE", fall), "1");
    EXPECT_EQ(d.At("D[7:0]", rise), Bits(0xA5, 8));  // taken as /WE rises
    EXPECT_GE(rise - fall, 100u);  // the part's shortest /WE pulse
    // After the write the board reads the byte back: the part drives it.
    EXPECT_NE(out.str().find("b" + Bits(0xA5, 8) + " "), std::string::npos);
}

TEST(Vcd, SignalsAreNamedAsOnTheDatasheet) {
    struct Case {
        const char* chip;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"89C52", {"VCC", "ALE/PROG", "EA/VPP", "EA/VPP_12V", "P2.6", "P2.7", "P3.3", "P3.6", "P3.7", "A[14:0]", "P0[7:0]"}},
        {"89C2051", {"VCC", "RST", "VPP_12V", "P3.2/PROG", "P3.3", "P3.4", "P3.5", "P3.7", "XTAL1", "P1[7:0]"}},
        {"29C256", {"VCC", "/CE", "/OE", "/WE", "A[14:0]", "D[7:0]"}},
        {"", {"VCC", "control_register[7:0]", "address_high[7:0]", "address_low[7:0]", "control_port[2:0]", "bus[7:0]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chip);
        std::ostringstream out;
        sim::VcdRecorder vcd(out, c.chip);
        vcd.Start(sim::SocketLines{}, 0);
        const Dump d(out.str());
        EXPECT_EQ(d.names, c.names);
        // At rest: supply off, nobody on the data lines.
        EXPECT_EQ(d.At("VCC", 0), "0");
        EXPECT_EQ(d.At(c.names.back(), 0), "z");
    }
}

}  // namespace
}  // namespace test
