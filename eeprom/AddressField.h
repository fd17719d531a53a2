// How an address field corrects what was typed, for the window's fields and
// the command line alike. A text that is not a hex number, or a value above
// the buffer, becomes the rule's fallback; a value beyond the device becomes
// 0, or the device's last address for an end field.
#pragma once

#include <cstdint>
#include <string_view>

#include "eeprom/EepromCatalogue.h"

namespace eeprom {

inline constexpr uint16_t kHighestBufferAddress = 0x7FFF;

struct AddressRule {
    uint16_t fallback;
    bool clampToDeviceEnd;
};

inline constexpr AddressRule kBufferStartRule{0, false};
inline constexpr AddressRule kBufferEndRule{kHighestBufferAddress, true};
inline constexpr AddressRule kDeviceStartRule{kHighestBufferAddress, false};

// The value the field takes for `typed` with `device` selected (none: no device limit).
uint16_t AddressFieldValue(std::string_view typed, const AddressRule& rule, const DeviceEntry* device);

}  // namespace eeprom
