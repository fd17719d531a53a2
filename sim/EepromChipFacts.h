// The datasheet facts the parallel EEPROM models follow, one row per part:
// size, the board line that carries its write strobe, write-cycle time, /WE
// pulse width, page mode and busy signalling. The model code reads only these.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace sim {

// Where the EEPROM board puts the part's /WE and A14 (the parts differ in pinout).
enum class WriteStrobe : uint8_t {
    A11,     // 24-pin part at the bottom of the socket: /WE on the A11 line, high-address bit 3 (0 = active)
    Strobe,  // /WE on control-port bit 0 (1 = active); A14 on high-address bit 6
    A14,     // /WE on high-address bit 6 (0 = active); A14 on control-port bit 0, inverted
};

inline constexpr uint64_t kEepromPowerUpInhibit = 5'000'000;  // ns after power-up in which writes are ignored
inline constexpr uint64_t kEepromByteLoadWindow = 150'000;    // ns from one /WE rise to the next fall, page mode

struct EepromFacts {
    std::string_view name;  // as the program's catalogue names it
    uint32_t size;          // a power of two: the part has the address lines below it
    WriteStrobe strobe;
    uint64_t writeCycle;    // ns, tWC maximum, self-timed
    uint64_t weMin;         // ns, shortest /WE pulse
    uint32_t pageSize;      // bytes one write cycle can take; 1 = no page mode
    bool wholeSector;       // the cycle reprograms the whole page, loaded or not (flash sectors)
    bool toggleBit;         // I/O6 toggles on each read during the cycle
};

// The part named `name`, or nullptr.
const EepromFacts* FindEepromFacts(std::string_view name);
std::span<const EepromFacts> AllEepromFacts();

}  // namespace sim
