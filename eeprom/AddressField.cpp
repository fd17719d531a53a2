#include "eeprom/AddressField.h"

#include "device/HexText.h"

namespace eeprom {

uint16_t AddressFieldValue(std::string_view typed, const AddressRule& rule, const DeviceEntry* device) {
    const auto number = device::ParseHex(typed);
    uint16_t value = number && *number <= kHighestBufferAddress ? static_cast<uint16_t>(*number) : rule.fallback;
    if (device && value >= device->size) value = rule.clampToDeviceEnd ? static_cast<uint16_t>(device->size - 1) : 0;
    return value;
}

}  // namespace eeprom
