// The identity bytes each chip's signature gives: the maker's code and the
// part's. The third byte some parts have is left out: it tells the
// programming voltage, or is not known for sure, and never another part.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace flash {

using IdentityBytes = std::array<uint8_t, 2>;

// What the device at `deviceType` should answer; none outside the catalogue.
std::optional<IdentityBytes> ExpectedSignature(uint16_t deviceType);

// Byte-1 and Byte-2 as a signature report (ReadSignature's text) gives them;
// none when the text is not such a report.
std::optional<IdentityBytes> SignatureOfReport(std::string_view report);

}  // namespace flash
