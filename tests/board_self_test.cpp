// The board self-test on the bench, for both boards: each fault a user can
// meet gives its own report, the supply stays off, and the board ends at rest.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>

#include "device/BoardSelfTest.h"
#include "device/PortSession.h"
#include "eeprom/EepromEntries.h"
#include "eeprom/EepromSocket.h"
#include "flash/FlashCatalogue.h"
#include "flash/FlashEntries.h"
#include "flash/FlashSocket.h"
#include "sim/BenchBoard.h"
#include "sim/EepromChip.h"
#include "sim/FlashChip.h"

namespace test {
namespace {

using device::BoardFinding;

// Remembers whether the socket's supply ever came on.
struct SupplyWatch : sim::SocketObserver {
    void LinesChanged(const sim::SocketLines& lines, uint64_t) override { supplyCameOn |= lines.SupplyOn(); }
    void DataSampled(std::optional<uint8_t>, uint64_t) override {}
    bool supplyCameOn = false;
};

// A port in front of the bench that passes everything on, or refuses the
// claim, or flips the read-back line on the third read of every byte, as
// crosstalk on a long cable would.
class PortInFront : public io::PortIo {
public:
    explicit PortInFront(io::PortIo& behind) : behind_(behind) {}
    std::string Claim(uint16_t base) override { return refuse ? "No access to the port at 0x378" : behind_.Claim(base); }
    void Release() override { behind_.Release(); }
    void PortOut(uint16_t port, uint16_t value) override { ++accesses, behind_.PortOut(port, value); }
    uint16_t PortIn(uint16_t port) override {
        ++accesses;
        uint16_t value = behind_.PortIn(port);
        if (flipStatus && port == 0x379 && statusReads++ % 8 == 2) value ^= 0x80;
        return value;
    }
    bool HasTimerPorts() const override { return behind_.HasTimerPorts(); }
    bool refuse = false;
    bool flipStatus = false;
    int accesses = 0;

private:
    io::PortIo& behind_;
    int statusReads = 0;
};

struct Case {
    const char* fault;
    std::function<void(sim::Bench&, PortInFront&)> make;
    BoardFinding finding;
    const char* says;
};

const Case kCases[] = {
    {"a board that answers", [](sim::Bench&, PortInFront&) {}, BoardFinding::Answers,
     "The board answers at 0x378: every pattern came back"},
    {"the read-back line stuck at 0", [](sim::Bench& b, PortInFront&) { b.StatusBit7(false); },
     BoardFinding::StatusStuckLow, "(status bit 7, pin 11 of the port) stays at 0 whatever"},
    {"the read-back line stuck at 1", [](sim::Bench& b, PortInFront&) { b.StatusBit7(true); },
     BoardFinding::StatusStuckHigh, "(status bit 7, pin 11 of the port) stays at 1 whatever"},
    {"crosstalk on the read-back line", [](sim::Bench&, PortInFront& p) { p.flipStatus = true; }, BoardFinding::WrongBits,
     "patterns shifted through its bus register come back wrong: bit 5 is wrong."},
    {"data line 4 stuck at 0", [](sim::Bench& b, PortInFront&) { b.StuckDataLine(4, false); }, BoardFinding::WrongBits,
     "driven onto the socket's data lines come back wrong: data line 4 stays at 0."},
    {"data line 6 stuck at 1", [](sim::Bench& b, PortInFront&) { b.StuckDataLine(6, true); },
     BoardFinding::WrongBits, "come back wrong: data line 6 stays at 1."},
    {"no access to the port", [](sim::Bench&, PortInFront& p) { p.refuse = true; }, BoardFinding::NoAccess,
     "No access to the port at 0x378"},
};

void RunTable(const char* program, const std::function<void(io::Board&)>& startUp,
              const std::function<std::function<void()>(io::Board&)>& restOf, uint16_t benchAt = 0x378) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(program) + ", " + c.fault);
        sim::BenchBoard b(benchAt);
        PortInFront port(b.bench);
        io::Timer timer(port, b.bench);
        io::Board board(port, timer);
        SupplyWatch supply;
        b.bench.Watch(&supply);
        c.make(b.bench, port);
        startUp(board);
        const std::function<void()> rest = restOf(board);
        device::PortSession session(port, timer, board, rest);

        const device::BoardReport report = device::RunBoardSelfTest(session, board, 0x378, rest);
        EXPECT_EQ(report.finding, c.finding) << report.text;
        EXPECT_NE(report.text.find(c.says), std::string::npos) << report.text;
        EXPECT_EQ(report.Passed(), c.finding == BoardFinding::Answers);
        EXPECT_FALSE(supply.supplyCameOn);
        EXPECT_EQ(b.bench.UnclaimedAccesses(), 0u);
        if (c.finding == BoardFinding::NoAccess) {
            EXPECT_EQ(port.accesses, 0) << "nothing was touched";
            continue;
        }
        EXPECT_EQ(b.bench.DataPort(), 0x15);
        EXPECT_EQ(b.bench.ControlPort() & 0x0F, 0x0F);
        EXPECT_FALSE(b.bench.Lines().bus) << "the bus register drives nothing";
    }
}

std::function<void()> FlashRest(io::Board& board) {
    auto socket = std::make_shared<flash::FlashSocket>(board);
    return [socket] { flash::BoardIdle(*socket, 1); };
}

std::function<void()> EepromRest(io::Board& board) {
    auto socket = std::make_shared<eeprom::EepromSocket>(board);
    return [socket] { eeprom::BoardIdle(*socket); };
}

TEST(BoardSelfTest, EachFaultHasItsOwnReportAndTheBoardEndsAtRest) {
    RunTable("flash board", flash::StartUpBoard, FlashRest);
    RunTable("EEPROM board", eeprom::StartUpBoard, EepromRest);
}

// Nothing at the address: the bench's board sits at another port, and every
// register of this one reads FF.
TEST(BoardSelfTest, AnAddressWithoutAPortIsToldApart) {
    for (auto* rest : {&FlashRest, &EepromRest}) {
        sim::BenchBoard b(0x278);
        b.board.PowerFlags = 0x81;
        device::PortSession session(b.bench, b.timer, b.board, (*rest)(b.board));
        const device::BoardReport report = device::RunBoardSelfTest(session, b.board, 0x378, (*rest)(b.board));
        EXPECT_EQ(report.finding, BoardFinding::NothingAtPort);
        EXPECT_NE(report.text.find("Nothing answers at 0x378: the port's data register does not keep what is written "
                                   "to it (wrote 14, read FF)."),
                  std::string::npos)
            << report.text;
        EXPECT_EQ(b.board.DataPortShadow, 0x15) << "the rest was sent all the same";
        EXPECT_FALSE(b.bench.Lines().SupplyOn());
    }
}

// A chip left in the socket is neither powered nor disturbed, and does not
// spoil the test: with its supply off it drives nothing.
template <class Chip>
void ExpectLeftAlone(Chip& chip, const std::function<void(io::Board&)>& startUp,
                     const std::function<std::function<void()>(io::Board&)>& restOf) {
    SCOPED_TRACE(typeid(Chip).name());
    sim::BenchBoard b;
    b.bench.Insert(&chip);
    startUp(b.board);
    const auto rest = restOf(b.board);
    device::PortSession session(b.bench, b.timer, b.board, rest);
    EXPECT_TRUE(device::RunBoardSelfTest(session, b.board, 0x378, rest).Passed());
    EXPECT_TRUE(chip.Violations().empty()) << chip.Violations().front();
    EXPECT_EQ(b.bench.Contentions(), 0u);
}

TEST(BoardSelfTest, AChipInTheSocketIsLeftAlone) {
    ExpectLeftAlone(*sim::FlashChip::Make("89C52"), flash::StartUpBoard, FlashRest);
    ExpectLeftAlone(*sim::EepromChip::Make("28C256"), eeprom::StartUpBoard, EepromRest);
}

}  // namespace
}  // namespace test
