// Quillon's device-layer entries: the window checks, the routine of the
// selected device through its signal scheme, and the outcome as the text for
// the user ("OK" or the message). The caller holds the port.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/Progress.h"
#include "eeprom/EepromRoutines.h"
#include "eeprom/EepromSocket.h"
#include "io/Unitio.h"

namespace eeprom {

inline constexpr uint32_t kBufferEntries = 32768;

struct Request {
    uint16_t deviceType;
    std::span<uint16_t> image;  // the chip image, the whole buffer
    device::ProgressSink& progress;
    Window window{};            // Write and Verify
    uint16_t writeDelayTicks = 11932;
};

// The board values at start-up: the socket supply off.
void StartUpBoard(io::Board& board);
// The first rest after start-up: control bit 2 set, then the rest state.
void RestAtStart(EepromSocket& socket);
void BoardIdle(EepromSocket& socket);

// Why Write and Verify refuse the window, checked in this order before the
// board is touched; empty when it is taken.
std::string WindowError(const DeviceEntry& device, const Window& window);

std::string BlankCheckDevice(EepromSocket& socket, const Request& request);
std::string ReadDevice(EepromSocket& socket, const Request& request);
std::string WriteDevice(EepromSocket& socket, const Request& request);
std::string VerifyDevice(EepromSocket& socket, const Request& request);
std::string EraseDevice(EepromSocket& socket, const Request& request);

}  // namespace eeprom
