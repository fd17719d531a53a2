// The reference card of the Device Info window: which write delay suits which
// EEPROM of which maker.
#pragma once

#include <span>
#include <string_view>

namespace eeprom {

std::span<const std::string_view> DeviceInfoLines();

}  // namespace eeprom
