// The files that keep a virtual chip between runs of a -sim program, in the
// user's data folder: <chip>.bin, the memory as a raw image of exactly the
// chip's size, and for a kind of chip that holds more than memory a small
// text file beside it for the rest (see the kinds, FlashChipKind and
// EepromChipKind). A missing file is that part of a fresh chip.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace programs {

// $XDG_DATA_HOME/<program>, else ~/.local/share/<program>; empty when
// neither names an absolute folder.
std::filesystem::path ChipFolder(const std::string& program);

// The file beside the image for what a kind of chip holds besides memory.
struct RestFile {
    std::string_view extension;  // ".state"; empty for a chip that is all memory
    std::string_view holds;      // "the lock bits and fuse", for the report of a file that does not
};

class ChipFiles {
public:
    ChipFiles(std::filesystem::path folder, std::string name, uint32_t size, RestFile rest);

    std::filesystem::path Image() const { return folder_ / (name_ + ".bin"); }
    // Empty for a chip that has no rest file.
    std::filesystem::path Rest() const;

    // The memory as the image holds it and the rest file's text (none when
    // the file is missing or the kind has none); empty when they could be
    // taken, else why not (and both are left as they were).
    std::string Load(std::vector<uint8_t>& memory, std::optional<std::string>& rest) const;
    // Why the rest file's text, which the kind could not take, is refused.
    std::string RestNotTaken() const;
    // Replaces the image with `memory` and the rest file with `rest`, each
    // unless null; empty when all of them were written, else why not.
    std::string Save(const std::vector<uint8_t>* memory, const std::string* rest) const;

private:
    std::filesystem::path folder_;
    std::string name_;
    uint32_t size_;
    RestFile rest_;
};

}  // namespace programs
