// The board self-test: with the socket's supply off, is the port there, does
// the board answer on its read-back line, and do known patterns come back
// through the bus register and over the data lines as they were sent? It
// tells the user which of these fails, in plain words, and leaves the board
// at rest.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/PortSession.h"
#include "io/Unitio.h"

namespace device {

enum class BoardFinding {
    Answers,          // everything came back as sent
    NoAccess,         // the port could not be had (no permission, or another program has it)
    NothingAtPort,    // no port at the address: nothing keeps what is written
    StatusStuckLow,   // the read-back line never changes: status bit 7 always 0
    StatusStuckHigh,  // always 1
    WrongBits,        // some bits come back wrong: a cable or board fault
};

struct BoardReport {
    BoardFinding finding;
    std::string text;
    bool Passed() const { return finding == BoardFinding::Answers; }
};

// The test itself, with the port claimed and the board at rest.
BoardReport TestBoard(io::Board& board);

// The whole command: the port claimed through `session`, the board put at
// rest by `rest` before and after the test, with the supply off throughout.
BoardReport RunBoardSelfTest(PortSession& session, io::Board& board, uint16_t portBase,
                             const std::function<void()>& rest);

}  // namespace device
