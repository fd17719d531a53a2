// Quillon's routines on the bench, watched at the socket's lines: the three
// strobes, the 29C256's A14, the window checks and the rest state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/HexText.h"
#include "eeprom/EepromEntries.h"
#include "shell/AppState.h"
#include "sim/BenchBoard.h"

namespace test {
namespace {

enum Type : uint16_t { AT28C16, AT28C17, AT28C64, AT28C256, AT29C256, X2816, X2817, X2864 };

struct RecordedProgress : device::ProgressSink {
    void ShowProgress(uint16_t a) override { shown.push_back(device::Hex4(a)); }
    void ShowActivity(std::string_view word) override { shown.emplace_back(word); }
    std::vector<std::string> shown;
};

// Each write strobe the socket saw that a part would take: where and what.
struct Strobe {
    uint32_t address;  // A0-A14 as the scheme carries them
    std::optional<uint8_t> data;
    bool operator==(const Strobe&) const = default;
};

class EepromProbe : public sim::SocketChip {
public:
    explicit EepromProbe(eeprom::Scheme scheme) : scheme_(scheme) {}
    void LinesChanged(const sim::SocketLines& lines, uint64_t) override {
        const bool active = StrobeActive(lines);
        if (lines.SupplyOn()) powered = true;
        // A strobe the part would take: supply on, chip enabled, output disabled.
        const bool writable = lines.SupplyOn() && !(lines.controlRegister & 0x04) && (lines.controlRegister & 0x02);
        if (writable && active && !active_) strobes.push_back({Address(lines), lines.bus});
        active_ = active;
    }
    std::optional<uint8_t> DriveData(const sim::SocketLines&, uint64_t) override { return std::nullopt; }

    std::vector<Strobe> strobes;
    bool powered = false;

private:
    bool StrobeActive(const sim::SocketLines& l) const {
        switch (scheme_) {
            case eeprom::Scheme::WeOnA11: return !(l.addressHigh & 0x08);
            case eeprom::Scheme::WeOnStrobe: return l.controlPort & 0x01;
            case eeprom::Scheme::WeOnA14: return !(l.addressHigh & 0x40);
        }
        return false;
    }
    uint32_t Address(const sim::SocketLines& l) const {
        uint32_t a = l.addressLow | (l.addressHigh & 0x3F) << 8;
        if (scheme_ == eeprom::Scheme::WeOnA11) a &= 0x07FF;  // A11 is the strobe
        if (scheme_ == eeprom::Scheme::WeOnStrobe && (l.addressHigh & 0x40)) a |= 0x4000;
        if (scheme_ == eeprom::Scheme::WeOnA14 && !(l.controlPort & 0x01)) a |= 0x4000;  // inverted
        return a;
    }
    eeprom::Scheme scheme_;
    bool active_ = false;
};

// The EEPROM board on the bench at rest, as the program leaves it after start-up.
struct EepromBench {
    uint16_t type;
    const eeprom::DeviceEntry& device;
    EepromProbe probe;
    sim::BenchBoard b;
    eeprom::EepromSocket socket{b.board};
    shell::Buffer image;
    RecordedProgress progress;
    explicit EepromBench(uint16_t t, bool seated = true)
        : type(t), device(*eeprom::FindDevice(t)), probe(device.scheme) {
        image.fill(shell::kErasedEntry);
        if (seated) b.bench.Insert(&probe);
        b.bench.Claim(0x378);
        eeprom::StartUpBoard(b.board);
        b.timer.TimerInit();
        eeprom::RestAtStart(socket);
        probe.powered = false;
    }
    eeprom::Request For(eeprom::Window window = {}, uint16_t delay = 1193) {
        if (window.bufferEnd == 0 && window.bufferStart == 0 && window.deviceStart == 0)
            window.bufferEnd = static_cast<uint16_t>(device.size - 1);
        return {type, image, progress, window, delay};
    }
};

void ExpectAtRest(EepromBench& e, const std::string& what) {
    EXPECT_EQ(e.b.bench.DataPort(), 0x15) << what;
    EXPECT_EQ(e.b.bench.ControlPort() & 0x0F, 0x0F) << what;
    EXPECT_FALSE(e.b.bench.Lines().SupplyOn()) << what;
    EXPECT_FALSE(e.b.bench.Lines().bus) << what << ": the bus register drives nothing";
    EXPECT_EQ(e.b.bench.Lines().controlRegister & 0x04, 0) << what << ": chip enable is never set";
}

TEST(EepromSocket, TheStartUpRestsTheBoard) {
    EepromBench e(AT28C64);
    ExpectAtRest(e, "after start-up");
    EXPECT_EQ(e.b.board.ControlByte, 0x81);
    EXPECT_EQ(e.b.bench.Lines().addressHigh, 0);
    EXPECT_EQ(e.b.bench.Lines().addressLow, 0);
}

// Each scheme strobes its own line, once per byte, with the address and data applied.
TEST(EepromRoutines, EachSchemeStrobesItsOwnLineOncePerByte) {
    struct Case {
        uint16_t type;
        eeprom::Window window;
        std::vector<Strobe> strobes;
    };
    const Case cases[] = {
        {AT28C16, {0x10, 0x11, 0x7FE}, {{0x7FE, 0xA5}, {0x7FF, 0x5A}}},   // the A11 position
        {AT28C17, {0x10, 0x11, 0x123}, {{0x123, 0xA5}, {0x124, 0x5A}}},   // control bit 0
        {AT28C256, {0x10, 0x11, 0x4ABC}, {{0x4ABC, 0xA5}, {0x4ABD, 0x5A}}},
        {AT29C256, {0x10, 0x13, 0x3FFE}, {{0x3FFE, 0xA5}, {0x3FFF, 0x5A}, {0x4000, 0x00}, {0x4001, 0xFF}}},  // A14 inverted
    };
    for (const Case& c : cases) {
        EepromBench e(c.type);
        e.image[0x10] = 0xA5;
        e.image[0x11] = 0x5A;
        e.image[0x12] = 0x00;
        const std::string result = eeprom::WriteDevice(e.socket, e.For(c.window));
        EXPECT_NE(result, "OK") << "nothing answers in the probe's socket";
        EXPECT_EQ(e.probe.strobes, c.strobes) << c.type;
        ExpectAtRest(e, "after the write");
    }
}

TEST(EepromRoutines, EraseStrobesEveryByteWithFF) {
    for (uint16_t type : {AT28C16, AT28C17}) {
        EepromBench e(type);
        EXPECT_EQ(eeprom::EraseDevice(e.socket, e.For()), "OK") << "an empty socket reads blank";
        ASSERT_EQ(e.probe.strobes.size(), 0x800u);
        for (uint32_t a = 0; a < 0x800; ++a) ASSERT_EQ(e.probe.strobes[a], (Strobe{a, 0xFF})) << a;
    }
}

TEST(EepromEntries, WindowChecksComeInOrderAndNeverPowerTheBoard) {
    struct Case {
        uint16_t type;
        eeprom::Window window;
        const char* refused;  // nullptr: taken
    };
    const Case cases[] = {
        {AT28C16, {0x10, 0x0F, 0x7FF}, "Buffer Start Address > End Address"},  // before the range checks
        {AT28C16, {0x0000, 0x0800, 0x000}, "Buffer Address Range > Device Storage Capacity"},
        {AT28C16, {0x0000, 0x0700, 0x100}, "Buffer Address Range > Device Address Range\nCheck device start address"},
        {AT28C16, {0x0000, 0x0700, 0x0FF}, nullptr},
        {AT28C64, {0x7FFF, 0x7FFF, 0x1FFF}, nullptr},  // one byte, at the top
        {AT28C256, {0x7F00, 0x80FF, 0x0000}, "Buffer End Address > 7FFF"},
    };
    using Entry = std::string (*)(eeprom::EepromSocket&, const eeprom::Request&);
    for (const Case& c : cases) {
        for (Entry entry : {Entry(eeprom::WriteDevice), Entry(eeprom::VerifyDevice)}) {
            EepromBench e(c.type);
            e.image.fill(0xFF);
            const uint64_t accesses = e.b.bench.AccessCount();
            const std::string result = entry(e.socket, e.For(c.window));
            if (c.refused) {
                EXPECT_EQ(result, c.refused);
                EXPECT_EQ(e.b.bench.AccessCount(), accesses) << c.refused << ": the board was not touched";
                EXPECT_FALSE(e.probe.powered);
            } else {
                EXPECT_EQ(result, "OK") << c.type;
            }
        }
    }
}

TEST(EepromRoutines, AWindowGoesToItsDeviceAddressesOnly) {
    EepromBench e(AT28C16);
    e.image.fill(0x00);
    EXPECT_EQ(eeprom::WriteDevice(e.socket, e.For({0x0000, 0x0700, 0x0FF})),
              "Program Verify Error @ Device Address  00FF\nData Read  =  FF\nProg Data   =  00");
    ASSERT_EQ(e.probe.strobes.size(), 0x701u) << "the whole window is programmed before the check";
    EXPECT_EQ(e.probe.strobes.front().address, 0x0FFu);
    EXPECT_EQ(e.probe.strobes.back().address, 0x7FFu);
    EepromBench one(AT28C64);
    one.image[0x1234] = 0xFF;
    EXPECT_EQ(eeprom::WriteDevice(one.socket, one.For({0x1234, 0x1234, 0x0042})), "OK");
    EXPECT_EQ(one.probe.strobes, (std::vector<Strobe>{{0x0042, 0xFF}}));
}

TEST(EepromRoutines, ProgressCountsUpEvery256BytesFromTheWindowsStart) {
    EepromBench e(AT28C16);
    eeprom::WriteDevice(e.socket, e.For({0x000, 0x2FF, 0x010}));
    const std::vector<std::string> expected{"00FF", "01FF", "02FF", "Verifying", "00FF", "01FF", "02FF"};
    EXPECT_EQ(e.progress.shown, expected) << "the blocks of 0x0010, 0x0110 and 0x0210";
    e.progress.shown.clear();
    eeprom::BlankCheckDevice(e.socket, e.For());
    EXPECT_EQ(e.progress.shown, (std::vector<std::string>{"00FF", "01FF", "02FF", "03FF", "04FF", "05FF", "06FF", "07FF"}));
}

TEST(EepromRoutines, EveryRoutineLeavesTheBoardAtRest) {
    using Entry = std::string (*)(eeprom::EepromSocket&, const eeprom::Request&);
    const std::pair<const char*, Entry> entries[] = {
        {"blank check", eeprom::BlankCheckDevice}, {"read", eeprom::ReadDevice}, {"write", eeprom::WriteDevice},
        {"verify", eeprom::VerifyDevice},          {"erase", eeprom::EraseDevice},
    };
    for (uint16_t type : {AT28C16, AT28C17, AT29C256}) {
        for (auto [name, entry] : entries) {
            for (bool failing : {false, true}) {  // an empty socket reads 0xFF: a 00 in the window fails
                EepromBench e(type, false);
                if (failing) e.image[0x20] = 0x00;
                entry(e.socket, e.For({0x00, 0x3F, 0x00}));
                ExpectAtRest(e, std::to_string(type) + " " + name + (failing ? " failing" : ""));
            }
        }
    }
}

TEST(EepromEntries, AnUnknownDeviceTypeRunsNothingAndSaysSo) {
    EepromBench e(AT28C64);
    const uint64_t accesses = e.b.bench.AccessCount();
    using Entry = std::string (*)(eeprom::EepromSocket&, const eeprom::Request&);
    for (Entry entry : {Entry(eeprom::BlankCheckDevice), Entry(eeprom::WriteDevice), Entry(eeprom::VerifyDevice),
                        Entry(eeprom::ReadDevice), Entry(eeprom::EraseDevice)}) {
        eeprom::Request request{8, e.image, e.progress, {0, 0x7FF, 0}};
        const std::string text = entry(e.socket, request);
        EXPECT_NE(text, "OK");
        EXPECT_NE(text.find("8"), std::string::npos) << text;
    }
    EXPECT_EQ(e.b.bench.AccessCount(), accesses);
}

}  // namespace
}  // namespace test
