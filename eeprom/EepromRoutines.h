// Quillon's five routines, each written once and run for every device
// through its signal scheme: read, blank check and verify, which only read,
// and write and erase, which program one byte at a time with the chosen
// delay and then read everything back.
#pragma once

#include <cstdint>
#include <span>

#include "device/Outcome.h"
#include "device/Progress.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/EepromSocket.h"

namespace eeprom {

// Which stretch of the buffer goes to which device addresses.
struct Window {
    uint16_t bufferStart = 0;
    uint16_t bufferEnd = 0;    // inclusive
    uint16_t deviceStart = 0;  // receives the buffer's entry at bufferStart
};

struct Job {
    EepromSocket& s;
    const DeviceEntry& chip;
    std::span<uint16_t> image;  // the chip image: the buffer
    Window window;              // Write and Verify
    uint16_t writeDelayTicks;
    device::ProgressSink& progress;
};

void Read(Job& job);
device::Outcome BlankCheck(Job& job);
device::Outcome Verify(Job& job);
device::Outcome Write(Job& job);
device::Outcome Erase(Job& job);

}  // namespace eeprom
