#include "flash/SignatureBytes.h"

#include <algorithm>
#include <string>

#include "device/HexText.h"
#include "flash/FlashCatalogue.h"

namespace flash {
namespace {

struct Expected {
    std::string_view chip;
    IdentityBytes bytes;
};

constexpr std::array<Expected, 11> kSignatures{{
    {"89C51", {0x1E, 0x51}},   {"89C52", {0x1E, 0x52}},   {"89C55", {0x1E, 0x55}},    {"89C1051", {0x1E, 0x11}},
    {"89C1051U", {0x1E, 0x12}}, {"89C2051", {0x1E, 0x21}}, {"89C4051", {0x1E, 0x41}}, {"89S53", {0x1E, 0x53}},
    {"89S8252", {0x1E, 0x72}}, {"89C55WD", {0x1E, 0x55}}, {"89C51RC", {0x1E, 0x51}},
}};

// The two hex digits that end the report's line starting with `label`.
std::optional<uint8_t> ByteAfter(std::string_view report, std::string_view label) {
    const size_t at = report.find("\n" + std::string(label));
    if (at == std::string_view::npos) return std::nullopt;
    const size_t end = std::min(report.find('\n', at + 1), report.size());
    if (end < at + 3) return std::nullopt;
    const auto value = device::ParseHex(report.substr(end - 2, 2));
    if (!value) return std::nullopt;
    return static_cast<uint8_t>(*value);
}

}  // namespace

std::optional<IdentityBytes> ExpectedSignature(uint16_t deviceType) {
    const DeviceEntry* device = FindDevice(deviceType);
    if (!device) return std::nullopt;
    for (const Expected& e : kSignatures)
        if (e.chip == device->chip) return e.bytes;
    return std::nullopt;
}

std::optional<IdentityBytes> SignatureOfReport(std::string_view report) {
    const auto first = ByteAfter(report, "Byte-1"), second = ByteAfter(report, "Byte-2");
    if (!first || !second) return std::nullopt;
    return IdentityBytes{*first, *second};
}

}  // namespace flash
