// A parallel EEPROM in the bench's EEPROM socket, as its datasheet describes it
// (facts in EepromChipFacts). It judges every line change it sees: what the part
// would refuse or spoil it refuses or spoils, and records as a violation; what
// only looks wrong is recorded as a warning. It starts unpowered.
//
// A write is a /WE pulse with the supply on, /CE low and /OE high: the address is
// taken when /WE falls, the data when it rises, and the byte replaces the old one
// (the part erases it itself). The self-timed write cycle follows, during which a
// read polls: I/O7 complemented, I/O6 toggling on each read where the part has a
// toggle bit. A page-mode part takes further bytes of the same page while each
// /WE falls within 150 µs of the last rise; its cycle runs once that window closes.
// The page is the first byte's: a byte of another page ends the load and is lost.
//
// A /WE pulse the gates (supply, /CE, /OE) keep from the part is recorded only if
// the board drives the data lines as it ends, that is, if a write was meant; the
// board's rest state leaves /WE low without supply or with /OE low, which is none.
// <at> below is " at 0x0123", the address the pulse presented.
// Violations:
//   write pulse with the supply off<at>    write pulse without /CE<at>
//   write pulse while /OE is low<at>       write pulse t after power-up (at least 5.0 ms)<at>
//   write pulse during the write cycle<at> write pulse too short (w, at least m)<at>
//   write pulse to another page during the page load (page 0x0040)<at>
//   supply switched off during the write pulse<at>
//   /OE went low during the write pulse<at>   /CE went high during the write pulse<at>
//   supply switched off during the write cycle<at>: its bytes read 0xFF
// Warnings:
//   write pulse with the data lines floating<at>   (the byte written is 0xFF)
//   supply came up with /WE low
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ChipEvents.h"
#include "sim/EepromChipFacts.h"
#include "sim/Socket.h"

namespace sim {

// What persists in a part (the -sim program saves it to a file).
struct EepromChipState {
    std::vector<uint8_t> memory;  // the part's size, fresh = 0xFF; bytes it lacks read 0xFF
    bool operator==(const EepromChipState&) const = default;
};

class EepromChip : public RecordingChip {
public:
    // The part named as the program's catalogue names it: "28C16", "28C17", "28C64", "28C256",
    // "29C256", "2816", "2817", "2864"; nullptr otherwise.
    static std::unique_ptr<EepromChip> Make(std::string_view name);
    explicit EepromChip(const EepromFacts& facts);

    std::string_view Name() const { return part_.name; }
    uint32_t Size() const { return part_.size; }
    const EepromFacts& Facts() const { return part_; }

    // A fresh part reads 0xFF everywhere. A memory of the wrong size (a damaged
    // file) reads 0xFF where it ends and is set to the part's size by the next write.
    EepromChipState& State() { return state_; }
    const EepromChipState& State() const { return state_; }


    // Faults for tests: a slower (or faster) write cycle; a byte whose writes change nothing.
    void SetWriteCycle(uint64_t nanoseconds) { writeCycle_ = nanoseconds; }
    void WillNotProgram(uint32_t address) { stuck_.push_back(address); }
    // Whole-sector parts (29C256): the bytes of a sector not loaded in its cycle are
    // indeterminate afterwards. Strict (the default) they read 0xFF; otherwise they keep their value.
    void SetUnloadedSectorBytesLost(bool lost) { sectorBytesLost_ = lost; }

    bool Powered() const { return powered_; }
    bool Busy(uint64_t now) const { return now < busyUntil_; }  // loading a page or in the write cycle

    // SocketChip
    void LinesChanged(const SocketLines& lines, uint64_t now) override;
    std::optional<uint8_t> DriveData(const SocketLines& lines, uint64_t now) override;

private:
    struct Signals {
        bool supply, chipEnabled, outputEnabled, writeStrobe;  // the strobe: /WE low
    };
    // Why a /WE pulse writes nothing; judged as /WE falls, recorded as it rises.
    enum class Refusal : uint8_t { None, NoSupply, NoChipEnable, OutputEnabled, PowerUp, Busy, OtherPage, Recorded };
    struct Pulse {
        bool active = false;
        Refusal refusal = Refusal::None;
        bool joinsPage = false;
        uint64_t start = 0;
        uint32_t address = 0;
    };

    Signals Read(const SocketLines& lines) const;
    uint32_t Address(const SocketLines& lines) const;
    bool Stuck(uint32_t address) const;

    void PowerUp(const Signals& s, uint64_t now);
    void PowerDown(uint64_t now);
    void PulseStarts(const Signals& s, const SocketLines& lines, uint64_t now);
    void PulseEnds(const SocketLines& lines, uint64_t now);
    void Refuse(uint64_t now, bool meant);
    void Load(uint32_t address, uint8_t data, uint64_t now);
    void Spoil(uint64_t now, std::string_view what);
    uint8_t Poll(bool read);


    const EepromFacts& part_;
    const uint32_t pageMask_;     // address bits that select the byte within a page
    const uint64_t loadWindow_;   // 0 without page mode
    EepromChipState state_;
    uint64_t writeCycle_;
    std::vector<uint32_t> stuck_;
    bool sectorBytesLost_ = true;

    // What the part last saw.
    bool powered_ = false, writeStrobe_ = false;
    uint64_t poweredAt_ = 0;

    Pulse pulse_;
    // The cycle under way: the page being loaded, until the window closes, then written.
    bool loading_ = false;
    uint32_t pageBase_ = 0;
    uint64_t loaded_ = 0;  // bit n: byte n of the page was loaded
    uint32_t lastAddress_ = 0;
    uint64_t loadCloses_ = 0;
    uint64_t busyUntil_ = 0;
    uint8_t pollData_ = 0xFF;
    bool toggle_ = false;
};

}  // namespace sim
