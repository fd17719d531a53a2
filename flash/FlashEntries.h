// Corvina's device-layer entries: each picks the routine of the selected
// device's family, runs it and turns its outcome into the text for the user
// ("OK" or the message). They take what they work on and leave the board at
// rest; the caller holds the port.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/Progress.h"
#include "flash/FlashSocket.h"
#include "io/Unitio.h"

namespace flash {

struct Request {
    uint16_t deviceType;
    std::span<uint16_t> image;  // the chip image, at least the device's size
    device::ProgressSink& progress;
    uint16_t programBits = 0;   // what to program after a good write
};

// The board values at start-up: the socket supply off.
void StartUpBoard(io::Board& board);

std::string BlankCheckDevice(FlashSocket& socket, const Request& request);
std::string ReadDevice(FlashSocket& socket, const Request& request);
std::string WriteDevice(FlashSocket& socket, const Request& request);
std::string VerifyDevice(FlashSocket& socket, const Request& request);
std::string ReadSignature(FlashSocket& socket, const Request& request);

// The socket's rest state for the device.
void BoardIdle(FlashSocket& socket, uint16_t deviceType);

}  // namespace flash
