#include "eeprom/EepromCatalogue.h"

#include <array>

namespace eeprom {
namespace {

constexpr std::array<DeviceEntry, 8> kDevices{{
    {"  28C16", "28C16", 0x0800, Scheme::WeOnA11, Slot::A, false},
    {"  28C17", "28C17", 0x0800, Scheme::WeOnStrobe, Slot::B, false},
    {"  28C64", "28C64", 0x2000, Scheme::WeOnStrobe, Slot::C, false},
    {"  28C256", "28C256", 0x8000, Scheme::WeOnStrobe, Slot::D, false},
    {"  29C256", "29C256", 0x8000, Scheme::WeOnA14, Slot::E, false},
    {"  2816", "2816", 0x0800, Scheme::WeOnA11, Slot::A, true},
    {"  2817", "2817", 0x0800, Scheme::WeOnStrobe, Slot::B, true},
    {"  2864", "2864", 0x2000, Scheme::WeOnStrobe, Slot::C, true},
}};

constexpr std::array<WriteDelay, 5> kWriteDelays{{
    {"   1  msec", 1193},
    {"   2  msec", 2387},
    {"   3  msec", 3579},
    {"   5  msec", 5965},
    {"  10 msec", 11932},
}};

}  // namespace

std::span<const DeviceEntry> Catalogue() { return kDevices; }

const DeviceEntry* FindDevice(uint16_t deviceType) {
    return deviceType < kDevices.size() ? &kDevices[deviceType] : nullptr;
}

std::span<const WriteDelay> WriteDelays() { return kWriteDelays; }

const WriteDelay* FindWriteDelay(uint16_t writeDelayIndex) {
    return writeDelayIndex < kWriteDelays.size() ? &kWriteDelays[writeDelayIndex] : nullptr;
}

}  // namespace eeprom
