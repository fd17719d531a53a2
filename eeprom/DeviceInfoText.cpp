#include "eeprom/DeviceInfoText.h"

#include <array>

namespace eeprom {
namespace {

constexpr std::array<std::string_view, 35> kLines{
    "     EEPROM  Write Delay Info",
    "",
    "Atmel",
    "     AT28C16        1 msec",
    "     AT28C17        1 msec",
    "     AT28C64        1 msec",
    "     AT28C256      10 msec",
    "     AT29C256      10 msec",
    "",
    "Catalyst",
    "     CAT28C16      10 msec",
    "     CAT28C64       5 msec",
    "     CAT28C256      5 msec",
    "",
    "Hitachi",
    "     HN58C65       10 msec",
    "     HN58C256      10 msec",
    "",
    "MicroChip",
    "     28C16          1 msec",
    "     28C17          1 msec",
    "     28C64          1 msec",
    "",
    "ST",
    "     M28C16         2 msec",
    "     M28C17         3 msec",
    "     M28C64         3 msec",
    "     M28C64C        5 msec",
    "     M28C64X        5 msec",
    "     M28C64-A       1 msec",
    "     M28C256        5 msec",
    "",
    "Xicor",
    "     X28HC64        5 msec",
    "     X28HC256       5 msec",
};

}  // namespace

std::span<const std::string_view> DeviceInfoLines() { return kLines; }

}  // namespace eeprom
