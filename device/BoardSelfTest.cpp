#include "device/BoardSelfTest.h"

#include <array>
#include <vector>

#include "device/HexText.h"

namespace device {
namespace {

// Every bit at both levels, and each bit's column across 55, 33 and 0F is its
// own number, so two lines shorted together differ in some pattern.
constexpr std::array<uint8_t, 8> kPatterns{0x00, 0xFF, 0x55, 0xAA, 0x33, 0xCC, 0x0F, 0xF0};

struct Echo {
    uint8_t sent;
    uint8_t read;
};

std::string PortName(const io::Board& board) { return "0x" + Hex4(board.PortBase).substr(1); }

// The data register keeps what is written to it. Only the serial data line
// changes, with no clock, so no register of the board takes anything.
bool PortKeepsData(io::Board& board, uint16_t& wrote, uint16_t& read) {
    const uint16_t rest = board.DataPortShadow & 0xFF;
    for (const uint16_t value : {static_cast<uint16_t>(rest ^ io::Board::kSerialData), rest}) {
        wrote = value;
        read = board.EchoDataPort(value);
        if (read != value) return false;
    }
    return true;
}

// Each pattern sent by `transfer` and read back from the bus register.
std::vector<Echo> Echoes(io::Board& board, void (*transfer)(io::Board&)) {
    std::vector<Echo> echoes;
    for (const uint8_t pattern : kPatterns) {
        board.DataByte = pattern;
        transfer(board);
        board.ReadBusRegister();
        echoes.push_back({pattern, static_cast<uint8_t>(board.DataByte)});
    }
    return echoes;
}

// Into the bus register, to come straight out again through the status line:
// the cable's data and clock lines, the register's chain and the read-back
// line, with the data lines left alone.
void ThroughRegister(io::Board& board) { board.LoadBusRegister(); }

// Driven onto the data lines and captured from them: each bus line from the
// register's output back to its input.
void OverDataLines(io::Board& board) {
    board.ShiftOutData();
    board.CaptureDataLines();
}

bool AllRead(const std::vector<Echo>& echoes, uint8_t value) {
    for (const Echo& echo : echoes)
        if (echo.read != value) return false;
    return true;
}

// "bit 3 stays at 0, bit 5 is wrong"; empty when every bit came back.
std::string WrongBits(const std::vector<Echo>& echoes, const std::string& what) {
    std::string text;
    for (int bit = 0; bit < 8; ++bit) {
        const uint8_t mask = static_cast<uint8_t>(1u << bit);
        bool lostOne = false, lostZero = false;
        for (const Echo& echo : echoes) {
            if ((echo.sent & mask) && !(echo.read & mask)) lostOne = true;
            if (!(echo.sent & mask) && (echo.read & mask)) lostZero = true;
        }
        if (!lostOne && !lostZero) continue;
        if (!text.empty()) text += ", ";
        text += what + " " + std::to_string(bit) + (lostOne && lostZero ? " is wrong" : lostOne ? " stays at 0" : " stays at 1");
    }
    return text;
}

BoardReport StatusStuck(const io::Board& board, bool high) {
    return {high ? BoardFinding::StatusStuckHigh : BoardFinding::StatusStuckLow,
            "The board does not answer at " + PortName(board) + ": its read-back line (status bit 7, pin 11 of the port) "
            "stays at " + (high ? "1" : "0") + " whatever is shifted through the board.\n\n"
            "There is no board on the port, the cable is loose or broken, or the board has no power. Check the cable "
            "at both ends and the board's supply, then test again."};
}

}  // namespace

BoardReport TestBoard(io::Board& board) {
    uint16_t wrote = 0, read = 0;
    if (!PortKeepsData(board, wrote, read))
        return {BoardFinding::NothingAtPort,
                "Nothing answers at " + PortName(board) + ": the port's data register does not keep what is written "
                "to it (wrote " + Hex2(wrote) + ", read " + Hex2(read) + ").\n\n"
                "There is no parallel port at this address. Choose the port the board is on; /proc/ioports lists "
                "the parallel ports of this machine (parport0, ...) with their addresses."};

    const std::vector<Echo> shifted = Echoes(board, ThroughRegister);
    if (AllRead(shifted, 0xFF)) return StatusStuck(board, false);  // the line showed 0 on every read
    if (AllRead(shifted, 0x00)) return StatusStuck(board, true);
    if (const std::string wrong = WrongBits(shifted, "bit"); !wrong.empty())
        return {BoardFinding::WrongBits,
                "The board answers at " + PortName(board) + ", but patterns shifted through its bus register come "
                "back wrong: " + wrong + ".\n\n"
                "This is a fault of the cable or the board: check the cable's data lines (pins 2 to 9) and its "
                "read-back line (pin 11), and the board's bus register."};

    const std::vector<Echo> driven = Echoes(board, OverDataLines);
    if (const std::string wrong = WrongBits(driven, "data line"); !wrong.empty())
        return {BoardFinding::WrongBits,
                "The board answers at " + PortName(board) + ", but patterns driven onto the socket's data lines come "
                "back wrong: " + wrong + ".\n\n"
                "A line of the board's data bus is held: by a chip in the socket, or a short on the board or in the "
                "socket. Take any chip out of the socket and test again; if the fault stays, the board needs repair."};

    return {BoardFinding::Answers,
            "The board answers at " + PortName(board) + ": every pattern came back through the bus register and over "
            "the socket's data lines as it was sent.\n\nThe board is at rest, with the socket's supply off."};
}

BoardReport RunBoardSelfTest(PortSession& session, io::Board& board, uint16_t portBase,
                             const std::function<void()>& rest) {
    BoardReport report{BoardFinding::NoAccess, {}};
    const std::string refused = session.Run(portBase, [&] {
        rest();  // the supply off before any pattern reaches the socket
        report = TestBoard(board);
        rest();
    });
    if (!refused.empty()) report = {BoardFinding::NoAccess, refused};
    return report;
}

}  // namespace device
