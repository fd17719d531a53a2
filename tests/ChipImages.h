// What the tests of the persisted virtual chips share: an image to write, and
// the files a chip folder holds.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace test {

// A pattern no erase or stuck line gives: every byte value, in no simple order.
inline std::string Pattern(size_t size) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 37 + i / 256) & 0xFF);
    return bytes;
}

inline std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace test
