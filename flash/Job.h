// What a family routine works on: the socket, the chip, the image and where
// progress goes. The routines take it and return their outcome.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "device/Outcome.h"
#include "device/Progress.h"
#include "flash/FlashCatalogue.h"
#include "flash/FlashSocket.h"

namespace flash {

struct Job {
    FlashSocket& s;
    const DeviceEntry& chip;
    std::span<uint16_t> image;  // the chip image: entry index = chip address
    device::ProgressSink& progress;
};

// What a signature read collects; which byte is which is the family's.
using SignatureBytes = std::array<uint8_t, 4>;

// What each family does for each entry.
struct FamilyRoutines {
    device::Outcome (*blankCheck)(Job&);
    void (*read)(Job&);
    device::Outcome (*verify)(Job&);
    device::Outcome (*write)(Job&);
    void (*programLockBits)(Job&, uint16_t programBits);
    std::string (*signature)(Job&);  // the report
};

const FamilyRoutines& RoutinesOf(Family family);

}  // namespace flash
