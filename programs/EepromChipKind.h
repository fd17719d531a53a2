// quillon-sim's kind of virtual chip: a parallel EEPROM of the catalogue. It
// holds nothing but its memory, so <chip>.bin is its only file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "programs/ChipFiles.h"
#include "sim/EepromChip.h"

namespace programs {

struct EepromChipKind {
    using Chip = sim::EepromChip;
    using State = sim::EepromChipState;
    static constexpr RestFile kRest{};

    // The part's name for the device type; empty for none.
    static std::string_view ChipOf(uint16_t deviceType);
    static std::string RestText(const State&) { return {}; }
    static bool TakeRestText(const std::string&, const Chip&, State&) { return true; }
};

}  // namespace programs
