// The files that keep a virtual flash chip between runs of corvina-sim, in
// the user's data folder: <chip>.bin, the memory as a raw image of exactly
// the chip's size, and <chip>.state, the rest as text:
//   lock-bits 3            bit 0 LB1, bit 1 LB2, bit 2 LB3 programmed
//   serial-fuse enabled    or disabled
// A missing file is that part of a fresh chip.
#pragma once

#include <filesystem>
#include <string>

#include "sim/FlashChip.h"

namespace programs {

// $XDG_DATA_HOME/<program>, else ~/.local/share/<program>; empty when
// neither names an absolute folder.
std::filesystem::path ChipFolder(const std::string& program);

// The text of a state file, and back: false when `text` is not one for `chip`.
std::string StateText(const sim::FlashChipState& state);
bool TakeStateText(const std::string& text, const sim::FlashChip& chip, sim::FlashChipState& state);

class ChipFiles {
public:
    ChipFiles(std::filesystem::path folder, const sim::FlashChip& chip);

    std::filesystem::path Image() const { return folder_ / (name_ + ".bin"); }
    std::filesystem::path StateFile() const { return folder_ / (name_ + ".state"); }

    // The chip as its files hold it, over a fresh chip; empty when they could
    // be taken, else why not (and `state` is left as it was).
    std::string Load(sim::FlashChipState& state) const;
    // Replaces the files whose part differs from `saved`; empty when all of
    // them were written, else why not.
    std::string Save(const sim::FlashChipState& saved, const sim::FlashChipState& now) const;

private:
    std::filesystem::path folder_;
    std::string name_;
    const sim::FlashChip& chip_;
};

}  // namespace programs
