// What Quillon knows of each EEPROM it programs, and the byte-write delays the
// user can choose. The device index is DeviceType, the cboType position.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace eeprom {

// Which socket line carries the write strobe.
enum class Scheme { WeOnA11, WeOnStrobe, WeOnA14 };

// One routine per slot and operation; B, C and D differ only by size.
enum class Slot { A, B, C, D, E };

struct DeviceEntry {
    std::string_view listText;  // cboType item
    std::string_view chip;      // the part's own name
    uint16_t size;              // DeviceSize; also the size class of the address fields
    Scheme scheme;
    Slot slot;
    bool forcesLongDelay;       // choosing it selects the 10 msec write delay
};

struct WriteDelay {
    std::string_view listText;  // cboWriteDelay item
    uint16_t ticks;             // WriteDelayTicks, 1193182 Hz timer ticks
};

std::span<const DeviceEntry> Catalogue();
const DeviceEntry* FindDevice(uint16_t deviceType);

std::span<const WriteDelay> WriteDelays();
const WriteDelay* FindWriteDelay(uint16_t writeDelayIndex);

inline constexpr uint16_t kLongDelayIndex = 4;  // "  10 msec"

}  // namespace eeprom
