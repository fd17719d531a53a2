// A flash microcontroller of the 89 series in the bench's socket, in parallel
// programming mode, as its datasheet describes it (facts in FlashChipFacts).
// It judges every line change it sees: what the part would refuse or spoil it
// refuses or spoils, and records as a violation; what is only out of the
// datasheet's range is recorded as a warning. It starts unpowered.
//
// A pulse (PROG low) acts when it ends, on the mode, address and data it began
// with; a byte programs old AND new and starts the write cycle, during which
// reads poll (bit 7 complemented). <op> below is "write", "erase", "lock",
// "fuse" or "Lock Bit-n"; <at> is " at 0x0123" for a write, else empty.
// Violations:
//   <op> pulse during write cycle<at>          <op> pulse during erase cycle<at>
//   <op> pulse without programming voltage<at> <op> pulse too short (w, at least m)<at>
//   mode pins changed during the <op> pulse<at>   address changed during the <op> pulse<at>
//   data changed during the <op> pulse<at>        programming voltage removed during the <op> pulse<at>
//   supply switched off during the <op> pulse<at> supply switched off during the write cycle<at>
//   programming voltage set up only t before the <op> pulse<at>       (Standard, 20-pin)
//   programming voltage removed t after the <op> pulse<at>            (Standard, 20-pin)
//   programming refused: Lock Bit-1<at>           read without programming voltage at A (ISP)
//   pulse with the supply off                     programming voltage applied with the supply off
//   supply came up with the programming voltage applied
//   supply switched off with the programming voltage applied
//   supply came up with RST high / with XTAL1 high                  (20-pin)
//   counter advanced during the write cycle at C / t after the write cycle at C
//   XTAL1 high for only t at counter C                               (20-pin)
//   erase cycle cut short after t                                    (WD)
//   erase cycle without a supply cycle since the last one: nothing erased   (WD)
//   mode pins changed to a programming mode during a pulse
// Warnings:
//   <op> pulse longer than m (w)<at>    <op> pulse with the data lines floating<at>
//   write beyond the memory<at>         read beyond the memory at A
//   counter past the top: C wraps to P                               (20-pin)
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ChipEvents.h"
#include "sim/FlashChipFacts.h"
#include "sim/Socket.h"

namespace sim {

// What persists in a chip (the -sim program saves it to a file).
struct FlashChipState {
    std::vector<uint8_t> memory;    // the chip's size, erased = 0xFF; bytes it lacks read 0xFF
    uint8_t lockBits = 0;           // bit 0 LB1, bit 1 LB2, bit 2 LB3 programmed
    bool serialFuseEnabled = true;  // ISP family only
    bool operator==(const FlashChipState&) const = default;
};

class FlashChip : public RecordingChip {
public:
    // The chip named as the program's catalogue names it: "89C51", "89C52", "89C55", "89C1051",
    // "89C1051U", "89C2051", "89C4051", "89S53", "89S8252", "89C55WD", "89C51RC"; nullptr otherwise.
    static std::unique_ptr<FlashChip> Make(std::string_view name);
    explicit FlashChip(const ChipFacts& facts);

    std::string_view Name() const { return chip_.name; }
    uint32_t Size() const { return chip_.size; }
    const FamilyFacts& Family() const { return family_; }

    // A fresh chip: erased, unlocked, fuse enabled.
    FlashChipState& State() { return state_; }
    const FlashChipState& State() const { return state_; }


    // Faults for tests: a slower (or faster) part; a byte whose programming changes nothing.
    void SetWriteCycle(uint64_t nanoseconds) { writeCycle_ = nanoseconds; }
    void WillNotProgram(uint32_t address) { stuck_.push_back(address); }

    bool Powered() const { return powered_; }
    uint32_t Counter() const { return counter_; }  // 20-pin chips: the internal address counter
    bool Busy(uint64_t now) const { return now < busyUntil_; }

    // SocketChip
    void LinesChanged(const SocketLines& lines, uint64_t now) override;
    std::optional<uint8_t> DriveData(const SocketLines& lines, uint64_t now) override;

private:
    struct Signals {
        bool supply, pulse, vpp, resetHeld, clock;
        FlashMode mode;
    };
    // A pulse that began in a programming mode; it takes effect when it ends.
    struct Pulse {
        bool judged = false;
        FlashMode mode = FlashMode::None;
        uint64_t start = 0;
        uint32_t address = 0;
        std::optional<uint8_t> data;
    };

    Signals Read(const SocketLines& lines) const;
    uint32_t Address(const SocketLines& lines) const;
    std::optional<uint8_t> DataIn(const SocketLines& lines) const;
    uint32_t Position(uint32_t address, uint64_t now, bool record);
    uint8_t EffectiveLocks(uint64_t now) const;
    PulseLimits Limits(FlashMode mode) const;

    void PowerUp(const Signals& s, uint64_t now);
    void PowerDown(uint64_t now);
    void VppChanged(bool on, uint64_t now);
    void ClockChanged(const Signals& s, uint64_t now);
    void CheckPulseSteady(const SocketLines& lines, uint64_t now);
    void PulseStarts(const Signals& s, const SocketLines& lines, uint64_t now);
    void PulseEnds(uint64_t now);
    void Program(uint8_t data, uint64_t end);
    void ProgramLock(uint8_t bits, uint8_t data, uint64_t end);
    void StartWriteCycle(uint8_t data, uint64_t end);
    void EndEraseCycle(uint64_t now);
    void Erase();
    uint8_t ReadByte(FlashMode mode, const SocketLines& lines, uint64_t now, bool record);

    void Lose(uint64_t now, std::string why);  // records why the pulse under way does nothing
    // A pulse's operation ("write pulse") and, for a write, its address (" at 0x0123"), for the texts.
    std::string What(const Pulse& p) const;
    std::string At(const Pulse& p) const;

    const ChipFacts& chip_;
    const FamilyFacts& family_;
    std::array<FlashMode, 256> modeOf_{};  // by control-register value
    FlashChipState state_;
    uint64_t writeCycle_;
    std::vector<uint32_t> stuck_;

    // What the chip last saw.
    bool powered_ = false, pulseLine_ = false, vpp_ = false, resetHeld_ = true, clock_ = false;
    FlashMode mode_ = FlashMode::None;
    uint64_t vppSince_ = 0;

    Pulse pulse_;
    bool pulseUnpowered_ = false;       // the line went active without supply
    Pulse lastPulse_;                   // the last one that took effect
    std::optional<uint64_t> holdFrom_;  // its end, while the programming voltage it had stays on
    uint64_t busyUntil_ = 0;            // its write cycle
    uint8_t pollData_ = 0xFF;
    std::array<uint64_t, 3> lockFrom_{};  // when each lock bit takes effect

    // 20-pin address counter.
    uint32_t counter_ = 0;
    uint64_t clockRose_ = 0;
    bool clockCounted_ = false;

    // Two-pass erase.
    bool erasing_ = false;
    uint64_t eraseStart_ = 0;
    int erasePasses_ = 0;
    bool cycledSincePass_ = false;
};

}  // namespace sim
