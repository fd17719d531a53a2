// What Corvina knows of each chip it programs. The index is DeviceType and,
// for 0 to 9, the position in the device list.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace flash {

enum class Family { Standard, TwentyPin, Isp, Wd };

struct DeviceEntry {
    std::string_view listText;  // cboType item; empty when the list does not offer it
    std::string_view chip;
    uint16_t size;              // DeviceSize
    Family family;
    bool lockBit3;              // chkLB3 usable
    bool ispFuse;               // chkISP usable
};

std::span<const DeviceEntry> Catalogue();

// The device at `deviceType`, or nullptr for an index outside the catalogue.
const DeviceEntry* FindDevice(uint16_t deviceType);

// How many catalogue entries the device list offers (the rest come only from settings).
int ListedDeviceCount();

}  // namespace flash
