// What a chip in the bench's socket sees of the board, and how it answers.
#pragma once

#include <cstdint>
#include <optional>

namespace sim {

// The board's outputs towards the socket. Which of them a chip uses, and what
// they mean to it, depends on the board (flash or EEPROM) and the chip.
struct SocketLines {
    // Serial control register: bit 7 is the supply switch (1 = off), off until
    // the program turns it on.
    uint8_t controlRegister = 0x80;
    uint8_t addressHigh = 0;      // high-address register
    uint8_t addressLow = 0;       // low-address latch
    uint8_t controlPort = 0;      // parallel port control bits 0-2: pulse, programming voltage, auxiliary
    std::optional<uint8_t> bus;   // the bus register's outputs when it drives the data lines

    bool SupplyOn() const { return !(controlRegister & 0x80); }
    bool operator==(const SocketLines&) const = default;
};

class SocketChip {
public:
    virtual ~SocketChip() = default;
    // Any line changed; `now` is the bench's virtual time in nanoseconds.
    virtual void LinesChanged(const SocketLines& lines, uint64_t now) = 0;
    // The byte the chip drives onto the data lines now, if it drives them.
    virtual std::optional<uint8_t> DriveData(const SocketLines& lines, uint64_t now) = 0;
};

// Something that watches the socket without taking part: it never drives a line.
class SocketObserver {
public:
    virtual ~SocketObserver() = default;
    virtual void LinesChanged(const SocketLines& lines, uint64_t now) = 0;
    // The board sampled the data lines while it did not drive them: the chip's
    // byte, or std::nullopt where nobody drove them (the pull-ups).
    virtual void DataSampled(std::optional<uint8_t> driven, uint64_t now) = 0;
};

}  // namespace sim
