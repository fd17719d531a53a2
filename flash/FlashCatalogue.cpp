#include "flash/FlashCatalogue.h"

#include <array>

namespace flash {
namespace {

constexpr std::array<DeviceEntry, 11> kDevices{{
    {" Atmel  89C51", "89C51", 0x1000, Family::Standard, true, false, "89C51", true},
    {" Atmel  89C52", "89C52", 0x2000, Family::Standard, true, false, "89C52"},
    {" Atmel  89C55", "89C55", 0x5000, Family::Standard, true, false, "89C55"},
    {" Atmel  89C1051", "89C1051", 0x0400, Family::TwentyPin, false, false, "89C1051"},
    {" Atmel  89C1051U", "89C1051U", 0x0400, Family::TwentyPin, false, false, "89C1051"},  // runs the 89C1051's routines
    {" Atmel  89C2051", "89C2051", 0x0800, Family::TwentyPin, false, false, "89C2051"},
    {" Atmel  89C4051", "89C4051", 0x1000, Family::TwentyPin, false, false, "89C4051"},
    {" Atmel  89S53", "89S53", 0x3000, Family::Isp, true, true, "89S53"},
    {" Atmel  89S8252", "89S8252", 0x2800, Family::Isp, true, true, "89S8252"},
    {" Atmel  89C55WD", "89C55WD", 0x5000, Family::Wd, true, false, "89C55WD", false, true},
    {"", "89C51RC", 0x8000, Family::Wd, true, false, "89C51RC"},  // only from the settings file
}};

}  // namespace

std::span<const DeviceEntry> Catalogue() { return kDevices; }

const DeviceEntry* FindDevice(uint16_t deviceType) {
    return deviceType < kDevices.size() ? &kDevices[deviceType] : nullptr;
}

int ListedDeviceCount() {
    int n = 0;
    for (const DeviceEntry& d : kDevices)
        if (!d.listText.empty()) ++n;
    return n;
}

uint16_t ProgramBitsFor(const DeviceEntry& device, uint16_t programBits) {
    const uint16_t takes = kLockBit1 | kLockBit2 | (device.lockBit3 ? kLockBit3 : 0) | (device.ispFuse ? kIspFuse : 0);
    return programBits & takes;
}

}  // namespace flash
