// The board register protocol on the bench: the bytes written, how many, and
// what the board model ends up holding.
#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/BenchBoard.h"

namespace test {
namespace {

using io::Board;

constexpr uint16_t kData = 0x378, kStatus = 0x379, kControl = 0x37A;

// A chip that drives the data lines with a fixed byte whenever the bus is released.
struct DrivingChip : sim::SocketChip {
    std::optional<uint8_t> value;
    bool evenOverTheBus = false;
    void LinesChanged(const sim::SocketLines&, uint64_t) override {}
    std::optional<uint8_t> DriveData(const sim::SocketLines& lines, uint64_t) override {
        if (lines.bus && !evenOverTheBus) return std::nullopt;
        return value;
    }
};

TEST(Bench, TracesOnlyWhenAsked) {
    sim::BenchBoard b;
    b.board.ShiftOutData();
    EXPECT_TRUE(b.bench.Accesses().empty()) << "a long write would record gigabytes";
    EXPECT_EQ(b.bench.Writes(kData), 26u) << "the counters count all the same";
    b.bench.Trace(true);
    b.board.ReleaseBus();
    ASSERT_FALSE(b.bench.Accesses().empty());
    EXPECT_EQ(b.bench.Accesses().front().port, kData);
    b.bench.Trace(false);
    const size_t traced = b.bench.Accesses().size();
    b.board.ReleaseBus();
    EXPECT_EQ(b.bench.Accesses().size(), traced);
}

// The hardware back ends drop what is sent outside a claim; the bench counts it.
TEST(Bench, CountsEveryAccessMadeWithoutAClaim) {
    sim::BenchBoard b;
    b.bench.PortOut(kData, 0x10);
    b.bench.PortIn(kStatus);
    EXPECT_EQ(b.bench.UnclaimedAccesses(), 2u);
    ASSERT_EQ(b.bench.Claim(0x378), "");
    b.board.ShiftOutData();
    b.board.ReadDataByte();
    b.bench.Release();
    EXPECT_EQ(b.bench.UnclaimedAccesses(), 2u) << "the claimed ones do not count";
    b.timer.TimerDelay(1);
    EXPECT_EQ(b.bench.UnclaimedAccesses(), 2u + 7u) << "the timer's ports count too";
}

TEST(Bench, AtPowerUpTheSocketHasNoSupply) {
    sim::BenchBoard b;
    EXPECT_FALSE(b.bench.Lines().SupplyOn()) << "off until the program turns it on";
    EXPECT_EQ(b.bench.Lines().controlRegister, 0x80);
    EXPECT_FALSE(sim::SocketLines{}.SupplyOn());
    b.board.PowerFlags = 0x00;
    b.board.SendControlByte();
    EXPECT_TRUE(b.bench.Lines().SupplyOn());
}

struct Protocol : ::testing::Test {
    sim::BenchBoard b;
    Board& board = b.board;
    sim::Bench& bench = b.bench;
    Protocol() { bench.Trace(true); }

    std::vector<uint8_t> DataWrites() const {
        std::vector<uint8_t> values;
        for (const sim::Access& a : bench.Accesses())
            if (a.write && a.port == kData) values.push_back(a.value);
        return values;
    }
};

TEST_F(Protocol, ShiftOutDataSendsTheBitsMostSignificantFirst) {
    board.DataByte = 0x80;
    board.ShiftOutData();
    const std::vector<uint8_t> writes = DataWrites();
    ASSERT_EQ(writes.size(), 26u);
    EXPECT_EQ(std::vector<uint8_t>(writes.begin(), writes.begin() + 7),
              (std::vector<uint8_t>{0x04, 0x05, 0x07, 0x05, 0x04, 0x06, 0x04}));
    EXPECT_EQ(writes.back() & Board::kBusRelease, 0);
    EXPECT_EQ(bench.BusRegister(), 0x80);
    EXPECT_EQ(bench.Lines().bus, std::optional<uint8_t>(0x80));
}

TEST_F(Protocol, EveryOperationWritesItsCountAndWaitsATickAfterEachWrite) {
    struct Case {
        const char* name;
        void (Board::*operation)();
        uint64_t data, control, status, ticks;
    };
    const Case cases[] = {
        {"ShiftOutData", &Board::ShiftOutData, 26, 0, 0, 26},
        {"SendAddressLow", &Board::SendAddressLow, 27, 2, 0, 29},
        {"SendAddressHigh", &Board::SendAddressHigh, 27, 0, 0, 27},
        {"SendControlByte", &Board::SendControlByte, 27, 0, 0, 27},
        {"ReadDataByte", &Board::ReadDataByte, 18, 0, 8, 18},
        {"ReleaseBus", &Board::ReleaseBus, 1, 0, 0, 1},
        {"SetControlBit0", &Board::SetControlBit0, 0, 1, 0, 1},
        {"ClearControlBit0", &Board::ClearControlBit0, 0, 1, 0, 1},
        {"PulseControlBit0", &Board::PulseControlBit0, 0, 2, 0, 1},
        {"SetControlBit1", &Board::SetControlBit1, 0, 1, 0, 1},
        {"SetControlBit2", &Board::SetControlBit2, 0, 1, 0, 1},
    };
    for (const Case& c : cases) {
        sim::BenchBoard fresh;
        (fresh.board.*c.operation)();
        EXPECT_EQ(fresh.bench.Writes(kData), c.data) << c.name;
        EXPECT_EQ(fresh.bench.Writes(kControl), c.control) << c.name;
        EXPECT_EQ(fresh.bench.Reads(kStatus), c.status) << c.name;
        EXPECT_EQ(fresh.bench.Writes(io::kTimerModePort), c.ticks) << c.name << ": one tick per write";
    }
}

TEST_F(Protocol, PulseControlBit0WaitsOnlyAfterItsSecondWrite) {
    board.PulseControlBit0();
    const auto& trace = bench.Accesses();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0].port, kControl);
    EXPECT_EQ(trace[0].value & 1, 1);
    EXPECT_EQ(trace[1].port, kControl);  // straight after: no tick in between
    EXPECT_EQ(trace[1].value & 1, 0);
    EXPECT_EQ(trace[2].port, io::kTimerModePort);
}

TEST_F(Protocol, ReadDataByteAssemblesTheComplementOfTheStatusLine) {
    bench.StatusBit7(false);
    board.ReadDataByte();
    EXPECT_EQ(board.DataByte, 0xFF);
    bench.StatusBit7(true);
    board.ReadDataByte();
    EXPECT_EQ(board.DataByte, 0x00);
    EXPECT_TRUE(DataWrites().back() & Board::kBusRelease) << "the bus is left released";
}

TEST_F(Protocol, TheModelHoldsWhatEachOperationMeantToLoad) {
    for (uint8_t value : {0x00, 0x01, 0x80, 0xA5, 0x5A, 0xFF, 0x3C}) {
        sim::BenchBoard fresh;
        Board& b = fresh.board;
        b.DataByte = b.AddressLow = b.AddressHigh = b.ControlByte = value;
        b.PowerFlags = 0x81;
        b.ShiftOutData();
        EXPECT_EQ(fresh.bench.BusRegister(), value);
        b.SendAddressLow();
        EXPECT_EQ(fresh.bench.Lines().addressLow, value);
        EXPECT_FALSE(fresh.bench.Lines().bus) << "released after the strobe";
        b.SendAddressHigh();
        EXPECT_EQ(fresh.bench.Lines().addressHigh, value);
        b.SendControlByte();
        const uint8_t merged = static_cast<uint8_t>((value & 0x7E) | 0x81);
        EXPECT_EQ(b.ControlByte, merged);
        EXPECT_EQ(fresh.bench.Lines().controlRegister, merged);
        EXPECT_EQ(fresh.bench.Lines().addressHigh, value) << "the control latch leaves the high address";

        DrivingChip chip;
        chip.value = value;
        fresh.bench.Insert(&chip);
        b.ReadDataByte();
        EXPECT_EQ(b.DataByte, value) << "read back from the chip";
        EXPECT_EQ(fresh.bench.Contentions(), 0u);
    }
}

TEST_F(Protocol, SendControlByteAlwaysSendsThePowerFlags) {
    struct Case {
        uint16_t control, power, merged;
    };
    for (const Case& c : {Case{0xFF, 0x01, 0x7F}, Case{0x00, 0x81, 0x81}, Case{0x81, 0x00, 0x00}, Case{0x7E, 0x80, 0xFE}}) {
        sim::BenchBoard fresh;
        fresh.board.ControlByte = c.control;
        fresh.board.PowerFlags = c.power;
        fresh.board.SendControlByte();
        EXPECT_EQ(fresh.board.ControlByte, c.merged);
        EXPECT_EQ(fresh.bench.Lines().controlRegister, c.merged);
        EXPECT_EQ(fresh.bench.Lines().SupplyOn(), !(c.merged & 0x80));
    }
}

TEST_F(Protocol, AStuckDataLineShowsInTheCaptureAndTheLowAddressLatch) {
    struct Case {
        int bit;
        bool level;
        uint8_t chip, captured, address, latched;
    };
    const Case cases[] = {
        {0, true, 0x00, 0x01, 0x00, 0x01},  {3, true, 0xA0, 0xA8, 0x30, 0x38}, {7, true, 0x5A, 0xDA, 0x00, 0x80},
        {0, false, 0xFF, 0xFE, 0xFF, 0xFE}, {4, false, 0x5A, 0x4A, 0x3C, 0x2C}, {7, false, 0x80, 0x00, 0xA5, 0x25},
        {5, true, 0x20, 0x20, 0x20, 0x20},  {6, false, 0x00, 0x00, 0x00, 0x00},
    };
    for (const Case& c : cases) {
        sim::BenchBoard fresh;
        DrivingChip chip;
        chip.value = c.chip;
        fresh.bench.Insert(&chip);
        fresh.bench.StuckDataLine(c.bit, c.level);
        fresh.board.ReadDataByte();
        EXPECT_EQ(fresh.board.DataByte, c.captured) << "bit " << c.bit << " stuck at " << c.level;
        fresh.board.AddressLow = c.address;
        fresh.board.SendAddressLow();
        EXPECT_EQ(fresh.bench.Lines().addressLow, c.latched) << "bit " << c.bit << " stuck at " << c.level;
        fresh.bench.StuckDataLine(std::nullopt);
        fresh.board.ReadDataByte();
        EXPECT_EQ(fresh.board.DataByte, c.chip) << "freed";
        fresh.board.SendAddressLow();
        EXPECT_EQ(fresh.bench.Lines().addressLow, c.address) << "freed";
    }
    sim::Bench bench;
    EXPECT_EQ(bench.DataLines(), 0xFF) << "the pull-ups";
    bench.StuckDataLine(2, false);
    EXPECT_EQ(bench.DataLines(), 0xFB);
    EXPECT_THROW(bench.StuckDataLine(8, true), std::out_of_range);
    EXPECT_THROW(bench.StuckDataLine(-1, true), std::out_of_range);
}

TEST_F(Protocol, SendAddressLowDrivesTheBusForThreeWritesEvenOverTheChip) {
    DrivingChip chip;
    chip.value = 0xFF;
    chip.evenOverTheBus = true;  // its outputs are enabled all along
    board.ReleaseBus();  // as at rest
    bench.ClearTrace();
    bench.Insert(&chip);
    board.AddressLow = 0x3C;
    board.SendAddressLow();
    int driving = 0;
    bool drives = false;
    for (const sim::Access& a : bench.Accesses()) {
        if (a.write && a.port == kData) drives = !(a.value & Board::kBusRelease);
        if (a.write && (a.port == kData || a.port == kControl) && drives) ++driving;
    }
    EXPECT_EQ(driving, 3);
    EXPECT_EQ(bench.Lines().addressLow, 0x3C);
    EXPECT_GT(bench.Contentions(), 0u) << "the bench flags both driving the lines";
}

}  // namespace
}  // namespace test
