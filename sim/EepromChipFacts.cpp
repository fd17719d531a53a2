#include "sim/EepromChipFacts.h"

namespace sim {
namespace {

constexpr uint64_t kMs = 1'000'000;

using S = WriteStrobe;

constexpr EepromFacts kParts[] = {
    {"28C16", 0x0800, S::A11, 1 * kMs, 100, 1, false, false},
    {"28C17", 0x0800, S::Strobe, 1 * kMs, 100, 1, false, false},
    // The later "B" parts take up to 10 ms; the original's 1 ms is modelled.
    {"28C64", 0x2000, S::Strobe, 1 * kMs, 100, 1, false, false},
    {"28C256", 0x8000, S::Strobe, 10 * kMs, 100, 64, false, true},
    {"29C256", 0x8000, S::A14, 10 * kMs, 90, 64, true, true},
    {"2816", 0x0800, S::A11, 1 * kMs, 100, 1, false, false},
    {"2817", 0x0800, S::Strobe, 1 * kMs, 100, 1, false, false},
    {"2864", 0x2000, S::Strobe, 1 * kMs, 100, 1, false, false},
};

}  // namespace

std::span<const EepromFacts> AllEepromFacts() { return kParts; }

const EepromFacts* FindEepromFacts(std::string_view name) {
    for (const EepromFacts& part : kParts)
        if (part.name == name) return &part;
    return nullptr;
}

}  // namespace sim
