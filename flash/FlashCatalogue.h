// What Corvina knows of each chip it programs. The index is DeviceType and,
// for 0 to 9, the position in the device list.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace flash {

enum class Family { Standard, TwentyPin, Isp, Wd };

// ProgramBits: what to program after a good write.
inline constexpr uint16_t kLockBit1 = 0x01, kLockBit2 = 0x02, kLockBit3 = 0x04, kIspFuse = 0x08;

struct DeviceEntry {
    std::string_view listText;       // cboType item; empty when the list does not offer it
    std::string_view chip;           // the chip's own name
    uint16_t size;                   // DeviceSize
    Family family;
    bool lockBit3;                   // chkLB3 usable
    bool ispFuse;                    // chkISP usable
    std::string_view signatureName;  // the name the signature report gives
    bool addressBit12Set = false;    // the 89C51: address register bit 4 set for every address
    bool erasePause = false;         // the 89C55WD: a pause after each erase pass
};

std::span<const DeviceEntry> Catalogue();

// The device at `deviceType`, or nullptr for an index outside the catalogue.
const DeviceEntry* FindDevice(uint16_t deviceType);

// How many catalogue entries the device list offers (the rest come only from settings).
int ListedDeviceCount();

// The program bits this device takes: Lock Bit-3 and the ISP fuse only where
// the chip has them.
uint16_t ProgramBitsFor(const DeviceEntry& device, uint16_t programBits);

}  // namespace flash
