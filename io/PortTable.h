// The three parallel ports a board may hang on: fixed addresses, no look-up of
// the system's port table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace io {

struct LptPort {
    int number;         // 1 for LPT-1
    uint16_t base;      // I/O base address (PortBase)
    uint8_t settingsCode;
};

inline constexpr std::array<LptPort, 3> kLptPorts{{
    {1, 0x378, 1},
    {2, 0x278, 2},
    {3, 0x3BC, 3},
}};

inline constexpr uint16_t kDefaultPortBase = 0x378;

// The port whose base address is `base`; none for any other address.
std::optional<LptPort> PortByBase(uint16_t base);

}  // namespace io
