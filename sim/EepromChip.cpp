#include "sim/EepromChip.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
    return text;
}

std::string At(uint32_t address) { return " at " + Hex(address); }

// Nanoseconds where the limits are (90 ns), else as the flash models write it.
std::string Duration(uint64_t ns) {
    char text[32];
    if (ns >= 1'000'000)
        std::snprintf(text, sizeof text, "%.1f ms", static_cast<double>(ns) / 1e6);
    else if (ns >= 1'000)
        std::snprintf(text, sizeof text, "%.1f µs", static_cast<double>(ns) / 1e3);
    else
        std::snprintf(text, sizeof text, "%u ns", static_cast<unsigned>(ns));
    return text;
}

}  // namespace

std::unique_ptr<EepromChip> EepromChip::Make(std::string_view name) {
    const EepromFacts* facts = FindEepromFacts(name);
    return facts ? std::make_unique<EepromChip>(*facts) : nullptr;
}

EepromChip::EepromChip(const EepromFacts& facts)
    : part_(facts),
      pageMask_(facts.pageSize - 1),  // at most 64: one bit each in loaded_
      loadWindow_(facts.pageSize > 1 ? kEepromByteLoadWindow : 0),
      writeCycle_(facts.writeCycle) {
    state_.memory.assign(part_.size, 0xFF);
}

EepromChip::Signals EepromChip::Read(const SocketLines& lines) const {
    Signals s{};
    s.supply = lines.SupplyOn();
    s.outputEnabled = !(lines.controlRegister & 0x02);
    s.chipEnabled = !(lines.controlRegister & 0x04);
    switch (part_.strobe) {
        case WriteStrobe::A11: s.writeStrobe = !(lines.addressHigh & 0x08); break;
        case WriteStrobe::Strobe: s.writeStrobe = lines.controlPort & 0x01; break;
        case WriteStrobe::A14: s.writeStrobe = !(lines.addressHigh & 0x40); break;
    }
    return s;
}

// The lines the part lacks (A11 under a 24-pin part's /WE, A14 on the smaller ones) are masked off.
uint32_t EepromChip::Address(const SocketLines& lines) const {
    uint32_t address = lines.addressLow | static_cast<uint32_t>(lines.addressHigh & 0x3F) << 8;
    if (part_.strobe == WriteStrobe::Strobe && (lines.addressHigh & 0x40)) address |= 0x4000;
    if (part_.strobe == WriteStrobe::A14 && !(lines.controlPort & 0x01)) address |= 0x4000;
    return address & (part_.size - 1);
}

bool EepromChip::Stuck(uint32_t address) const { return std::find(stuck_.begin(), stuck_.end(), address) != stuck_.end(); }

// ---- Line changes

void EepromChip::LinesChanged(const SocketLines& lines, uint64_t now) {
    const Signals s = Read(lines);
    if (s.supply != powered_) {
        if (s.supply)
            PowerUp(s, now);
        else
            PowerDown(now);
    }
    if (pulse_.active && pulse_.refusal == Refusal::None) {
        if (!s.chipEnabled)
            Spoil(now, "/CE went high during the write pulse");
        else if (s.outputEnabled)
            Spoil(now, "/OE went low during the write pulse");
    }
    if (s.writeStrobe != writeStrobe_) {
        writeStrobe_ = s.writeStrobe;
        if (s.writeStrobe)
            PulseStarts(s, lines, now);
        else
            PulseEnds(lines, now);
    }
}

void EepromChip::PowerUp(const Signals& s, uint64_t now) {
    powered_ = true;
    poweredAt_ = now;
    loading_ = false;
    busyUntil_ = 0;
    if (s.writeStrobe) Warning(now, "supply came up with /WE low");
}

void EepromChip::PowerDown(uint64_t now) {
    if (pulse_.active && pulse_.refusal == Refusal::None) Spoil(now, "supply switched off during the write pulse");
    if (now < busyUntil_) {
        // Cut short, the cycle leaves its bytes neither old nor new: the model erases them.
        Violation(now, "supply switched off during the write cycle" + At(lastAddress_) + ": its bytes read 0xFF");
        for (uint32_t i = 0; i <= pageMask_; ++i) {
            const uint32_t address = pageBase_ + i;
            if ((loaded_ >> i & 1) && address < state_.memory.size() && !Stuck(address)) state_.memory[address] = 0xFF;
        }
    }
    powered_ = false;
    loading_ = false;
    busyUntil_ = 0;
}

void EepromChip::Spoil(uint64_t now, std::string_view what) {
    Violation(now, std::string(what) + At(pulse_.address));
    pulse_.refusal = Refusal::Recorded;
}

// ---- Write pulses

void EepromChip::PulseStarts(const Signals& s, const SocketLines& lines, uint64_t now) {
    pulse_ = {true, Refusal::None, false, now, Address(lines)};
    Refusal& r = pulse_.refusal;
    const bool windowOpen = loading_ && now <= loadCloses_;
    if (!powered_)
        r = Refusal::NoSupply;
    else if (!s.chipEnabled)
        r = Refusal::NoChipEnable;
    else if (s.outputEnabled)
        r = Refusal::OutputEnabled;
    else if (now - poweredAt_ < kEepromPowerUpInhibit)
        r = Refusal::PowerUp;
    else if (windowOpen && (pulse_.address & ~pageMask_) == pageBase_)
        pulse_.joinsPage = true;
    else if (windowOpen) {
        r = Refusal::OtherPage;
        loading_ = false;  // the page loaded so far goes to its cycle now
        busyUntil_ = now + writeCycle_;
    } else if (now < busyUntil_)
        r = Refusal::Busy;
}

void EepromChip::PulseEnds(const SocketLines& lines, uint64_t now) {
    if (!pulse_.active) return;  // /WE was low before the part saw its lines
    pulse_.active = false;
    if (pulse_.refusal != Refusal::None) return Refuse(now, lines.bus.has_value());
    const uint64_t width = now - pulse_.start;
    if (width < part_.weMin) {
        Violation(now, "write pulse too short (" + Duration(width) + ", at least " + Duration(part_.weMin) + ")" +
                           At(pulse_.address));
        return;
    }
    if (!lines.bus) Warning(now, "write pulse with the data lines floating" + At(pulse_.address));
    Load(pulse_.address, lines.bus.value_or(0xFF), now);  // floating lines read as pulled up
}

// `meant`: the board drove the data lines, so it meant to write.
void EepromChip::Refuse(uint64_t now, bool meant) {
    const std::string at = At(pulse_.address);
    switch (pulse_.refusal) {
        case Refusal::NoSupply:
            if (meant) Violation(now, "write pulse with the supply off" + at);
            break;
        case Refusal::NoChipEnable:
            if (meant) Violation(now, "write pulse without /CE" + at);
            break;
        case Refusal::OutputEnabled:
            if (meant) Violation(now, "write pulse while /OE is low" + at);
            break;
        case Refusal::PowerUp:
            Violation(now, "write pulse " + Duration(pulse_.start - poweredAt_) + " after power-up (at least " +
                               Duration(kEepromPowerUpInhibit) + ")" + at);
            break;
        case Refusal::Busy: Violation(now, "write pulse during the write cycle" + at); break;
        case Refusal::OtherPage:
            Violation(now, "write pulse to another page during the page load (page " + Hex(pageBase_) + ")" + at);
            break;
        case Refusal::None:
        case Refusal::Recorded: break;
    }
}

// The byte goes to the page being loaded, or starts a new cycle; either way the
// window (and the cycle after it) runs from this rise.
void EepromChip::Load(uint32_t address, uint8_t data, uint64_t now) {
    if (state_.memory.size() != part_.size) state_.memory.resize(part_.size, 0xFF);
    if (!pulse_.joinsPage) {
        pageBase_ = address & ~pageMask_;
        loaded_ = 0;
        loading_ = loadWindow_ > 0;
        if (part_.wholeSector && sectorBytesLost_)
            for (uint32_t a = pageBase_; a <= pageBase_ + pageMask_; ++a)
                if (!Stuck(a)) state_.memory[a] = 0xFF;
    }
    if (!Stuck(address)) state_.memory[address] = data;
    loaded_ |= uint64_t{1} << (address & pageMask_);
    lastAddress_ = address;
    pollData_ = data;
    loadCloses_ = now + loadWindow_;
    busyUntil_ = loadCloses_ + writeCycle_;
}

// ---- Reads

std::optional<uint8_t> EepromChip::DriveData(const SocketLines& lines, uint64_t now) {
    if (!powered_ || !lines.SupplyOn()) return std::nullopt;
    const Signals s = Read(lines);
    if (!s.chipEnabled || !s.outputEnabled) return std::nullopt;
    // With the bus driving, the bench only looks for contention: no read, no toggle.
    if (now < busyUntil_) return Poll(!lines.bus);
    const uint32_t address = Address(lines);
    return address < state_.memory.size() ? state_.memory[address] : 0xFF;
}

// Data polling: I/O7 the complement of the last byte written, I/O6 toggling on
// each read where the part has a toggle bit, the other bits as written.
uint8_t EepromChip::Poll(bool read) {
    uint8_t value = static_cast<uint8_t>(pollData_ ^ 0x80);
    if (part_.toggleBit) {
        value = static_cast<uint8_t>((value & ~0x40) | (toggle_ ? 0x40 : 0));
        if (read) toggle_ = !toggle_;
    }
    return value;
}

}  // namespace sim
