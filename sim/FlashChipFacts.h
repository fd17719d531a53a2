// The datasheet facts the flash chip models follow: one table per family
// (mode pins, pulse widths, cycle times, lock-bit read-back) and one row per
// chip (size, address lines, signature). The model code reads only these.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace sim {

// Control-register bits of the mode pins as the board wires them.
namespace flash_pins {
inline constexpr uint8_t kP26 = 0x10, kP27 = 0x08, kP33 = 0x04, kP36 = 0x20, kP37 = 0x40;            // 40-pin
inline constexpr uint8_t kSmallP33 = 0x02, kSmallP34 = 0x08, kSmallP35 = 0x04, kSmallP37 = 0x10;  // 20-pin
}  // namespace flash_pins

enum class FlashMode : uint8_t {
    None,  // no row of the family's table: the chip does nothing
    WriteCode,
    ReadCode,
    ReadSignature,
    ChipErase,
    WriteLockBit1,
    WriteLockBit2,
    WriteLockBit3,
    WriteLockBits,  // ISP family: all three from one data byte
    ReadLockBits,
    WriteFuse,  // ISP family: serial programming fuse
    ReadFuse,
};

// Code reads of a chip with Lock Bit-2 programmed return this instead of the memory.
inline constexpr uint8_t kLockedReadPattern = 0x00;

struct ModeRow {
    FlashMode mode;
    std::string_view levels;  // 'H' or 'L' per mode pin, in the family's pin order
};

struct PulseLimits {
    uint64_t min = 0;  // ns; a shorter pulse does nothing
    uint64_t max = 0;  // ns; a longer one is only a warning; 0 = no maximum
};

struct FamilyFacts {
    std::string_view name;
    bool twentyPin;
    // The control-register bit of each mode pin, in the order of ModeRow::levels.
    std::array<uint8_t, 5> pinBits;
    std::span<const ModeRow> modes;
    PulseLimits write, lock, erase, fuse;
    uint64_t writeCycle;        // ns, self-timed, counted from the end of the pulse
    bool lockStartsWriteCycle;  // lock bits are programmed like a byte
    uint64_t vppSetupHold;      // ns around every pulse; 0 = not checked
    bool vppForReads;           // reads without the programming voltage float
    bool twoPassErase;          // erased only by two full cycles with a supply cycle between
    uint64_t eraseCycle;        // ns a two-pass erase cycle must run
    uint64_t lockDelay;         // ns from a lock pulse until the bit takes effect
    uint8_t lockBitsPresent;    // bit 0 LB1, bit 1 LB2, bit 2 LB3
    // The data bit that shows LB1, LB2, LB3 in ReadLockBits (0 = programmed); -1: not shown.
    std::array<int8_t, 3> lockReadBits;
    uint64_t counterClockHighMin;      // 20-pin: XTAL1 high at least this long
    uint64_t counterAfterWriteCycle;   // 20-pin: no counter clock this soon after a write cycle
};

struct SignatureByte {
    uint32_t address;  // the chip's address, or counter position on the 20-pin chips
    uint8_t value;
};

struct ChipFacts {
    std::string_view name;  // as the program's catalogue names it
    uint32_t size;
    const FamilyFacts* family;
    uint8_t highAddressMask;  // high-address register bits used as A8 and up
    uint8_t a14Bit;           // high-address register bit carrying A14; 0 = none
    std::array<SignatureByte, 3> signature;
    uint8_t signatureCount;
};

// The chip named `name`, or nullptr.
const ChipFacts* FindChipFacts(std::string_view name);
std::span<const ChipFacts> AllChipFacts();

}  // namespace sim
