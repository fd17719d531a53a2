// What a device routine ends with: good, or the first failing address with the
// byte read there and the byte expected. The texts for the user are built from
// it, so that no routine can leave an old "OK" standing.
#pragma once

#include <cstdint>

namespace device {

struct Outcome {
    bool good = true;
    uint16_t address = 0;   // the first failing address
    uint8_t read = 0;       // the byte the chip gave there
    uint8_t expected = 0;   // the buffer's byte there (verify and write)

    static Outcome Good() { return {}; }
    static Outcome FailedAt(uint32_t address, uint16_t read, uint16_t expected = 0xFF) {
        return {false, static_cast<uint16_t>(address), static_cast<uint8_t>(read), static_cast<uint8_t>(expected)};
    }
    bool operator==(const Outcome&) const = default;
};

// The text of a good outcome, as the windows and the command line compare it.
inline constexpr const char* kResultOk = "OK";

}  // namespace device
