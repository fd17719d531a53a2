#include "device/HexText.h"

namespace device {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

std::string HexDigits(unsigned value, int count) {
    std::string text(static_cast<size_t>(count), '0');
    for (int i = count - 1; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return text;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string Hex2(unsigned value) { return HexDigits(value, 2); }
std::string Hex4(unsigned value) { return HexDigits(value, 4); }

std::optional<uint32_t> ParseHex(std::string_view text) {
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        int digit = DigitValue(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace device
