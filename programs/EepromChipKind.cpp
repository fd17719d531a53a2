#include "programs/EepromChipKind.h"

#include "eeprom/EepromCatalogue.h"

namespace programs {

std::string_view EepromChipKind::ChipOf(uint16_t deviceType) {
    const eeprom::DeviceEntry* device = eeprom::FindDevice(deviceType);
    return device ? device->chip : std::string_view{};
}

}  // namespace programs
