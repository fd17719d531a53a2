// Numbers shown to the user: upper-case hexadecimal, fixed digit count, no prefix.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace device {

std::string Hex2(unsigned value);  // low 8 bits, "0A"
std::string Hex4(unsigned value);  // low 16 bits, "00A5"

// The text read as a hexadecimal number the way the address fields read it:
// one or more hex digits of either case, nothing else. None when it is not one
// or does not fit 32 bits.
std::optional<uint32_t> ParseHex(std::string_view text);

}  // namespace device
