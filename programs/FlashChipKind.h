// corvina-sim's kind of virtual chip: a flash microcontroller of the
// catalogue, whose files are <chip>.bin and <chip>.state, the lock bits and
// fuse as text:
//   lock-bits 3            bit 0 LB1, bit 1 LB2, bit 2 LB3 programmed
//   serial-fuse enabled    or disabled
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "programs/ChipFiles.h"
#include "sim/FlashChip.h"

namespace programs {

// The text of a state file, and back: false when `text` is not one for `chip`.
std::string StateText(const sim::FlashChipState& state);
bool TakeStateText(const std::string& text, const sim::FlashChip& chip, sim::FlashChipState& state);

struct FlashChipKind {
    using Chip = sim::FlashChip;
    using State = sim::FlashChipState;
    static constexpr RestFile kRest{".state", "the lock bits and fuse"};

    // The part's name for the device type; empty for none.
    static std::string_view ChipOf(uint16_t deviceType);
    static std::string RestText(const State& state) { return StateText(state); }
    static bool TakeRestText(const std::string& text, const Chip& chip, State& state) {
        return TakeStateText(text, chip, state);
    }
};

}  // namespace programs
