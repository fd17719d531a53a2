#include "sim/FlashChip.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

using M = FlashMode;

uint8_t Reverse(uint8_t v) {
    uint8_t r = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (v & (1 << bit)) r |= static_cast<uint8_t>(0x80 >> bit);
    return r;
}

bool IsRead(FlashMode m) { return m == M::ReadCode || m == M::ReadSignature || m == M::ReadLockBits || m == M::ReadFuse; }

bool IsProgramming(FlashMode m) { return m != M::None && !IsRead(m); }

std::string_view OperationName(FlashMode m) {
    switch (m) {
        case M::WriteCode: return "write";
        case M::ChipErase: return "erase";
        case M::WriteLockBit1: return "Lock Bit-1";
        case M::WriteLockBit2: return "Lock Bit-2";
        case M::WriteLockBit3: return "Lock Bit-3";
        case M::WriteLockBits: return "lock";
        case M::WriteFuse: return "fuse";
        default: return "mode";
    }
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
    return text;
}

std::string Duration(uint64_t ns) {
    char text[32];
    if (ns >= 1'000'000)
        std::snprintf(text, sizeof text, "%.1f ms", static_cast<double>(ns) / 1e6);
    else
        std::snprintf(text, sizeof text, "%.1f µs", static_cast<double>(ns) / 1e3);
    return text;
}

}  // namespace

std::unique_ptr<FlashChip> FlashChip::Make(std::string_view name) {
    const ChipFacts* facts = FindChipFacts(name);
    return facts ? std::make_unique<FlashChip>(*facts) : nullptr;
}

FlashChip::FlashChip(const ChipFacts& facts) : chip_(facts), family_(*facts.family), writeCycle_(family_.writeCycle) {
    state_.memory.assign(chip_.size, 0xFF);
    for (int value = 0; value < 256; ++value) {
        for (const ModeRow& row : family_.modes) {
            bool match = true;
            for (size_t pin = 0; pin < row.levels.size(); ++pin)
                match = match && ((value & family_.pinBits[pin]) != 0) == (row.levels[pin] == 'H');
            if (match) {
                modeOf_[value] = row.mode;
                break;
            }
        }
    }
}

FlashChip::Signals FlashChip::Read(const SocketLines& lines) const {
    Signals s{};
    s.supply = lines.SupplyOn();
    s.pulse = lines.controlPort & 0x01;
    s.resetHeld = family_.twentyPin && (lines.addressHigh & 0x02);
    s.clock = family_.twentyPin && (lines.addressHigh & 0x01);
    s.vpp = !(lines.controlPort & 0x02) && !s.resetHeld;  // a held reset keeps RST/VPP at GND
    s.mode = s.resetHeld ? M::None : modeOf_[lines.controlRegister];
    return s;
}

uint32_t FlashChip::Address(const SocketLines& lines) const {
    if (family_.twentyPin) return counter_;
    uint32_t address = lines.addressLow | static_cast<uint32_t>(lines.addressHigh & chip_.highAddressMask) << 8;
    if (chip_.a14Bit && (lines.addressHigh & chip_.a14Bit)) address |= 0x4000;
    return address;
}

std::optional<uint8_t> FlashChip::DataIn(const SocketLines& lines) const {
    if (!lines.bus) return std::nullopt;
    return family_.twentyPin ? Reverse(*lines.bus) : *lines.bus;
}

// The 20-pin counter past the top: the datasheets leave it open, the model wraps.
uint32_t FlashChip::Position(uint32_t address, uint64_t now, bool record) {
    if (!family_.twentyPin || address < chip_.size) return address;
    const uint32_t wrapped = address % chip_.size;
    if (record) Warning(now, "counter past the top: " + Hex(address) + " wraps to " + Hex(wrapped));
    return wrapped;
}

uint8_t FlashChip::EffectiveLocks(uint64_t now) const {
    uint8_t bits = 0;
    for (int i = 0; i < 3; ++i)
        if ((state_.lockBits & (1 << i)) && now >= lockFrom_[i]) bits |= static_cast<uint8_t>(1 << i);
    return bits;
}

std::string FlashChip::What(const Pulse& p) const { return std::string(OperationName(p.mode)) + " pulse"; }

std::string FlashChip::At(const Pulse& p) const { return p.mode == M::WriteCode ? " at " + Hex(p.address) : ""; }

void FlashChip::Lose(uint64_t now, std::string why) {
    Violation(now, std::move(why));
    pulse_.judged = false;
}

// ---- Line changes

void FlashChip::LinesChanged(const SocketLines& lines, uint64_t now) {
    const Signals s = Read(lines);
    if (s.supply != powered_) {
        if (s.supply)
            PowerUp(s, now);
        else
            PowerDown(now);
    }
    if (s.vpp != vpp_) VppChanged(s.vpp, now);
    if (s.resetHeld != resetHeld_) {
        if (!s.resetHeld && powered_) counter_ = 0;  // RST rising from GND
        resetHeld_ = s.resetHeld;
    }
    if (s.clock != clock_) ClockChanged(s, now);
    if (s.mode != mode_) {
        if (pulse_.judged)
            Lose(now, "mode pins changed during the " + What(pulse_) + At(pulse_));
        else if (pulseLine_ && powered_ && IsProgramming(s.mode))
            Violation(now, "mode pins changed to a programming mode during a pulse");
        mode_ = s.mode;
    }
    if (pulse_.judged) CheckPulseSteady(lines, now);
    if (s.pulse != pulseLine_) {
        pulseLine_ = s.pulse;
        if (s.pulse)
            PulseStarts(s, lines, now);
        else if (pulse_.judged)
            PulseEnds(now);
        else if (!powered_ && pulseUnpowered_)
            Violation(now, "pulse with the supply off");
    }
}

void FlashChip::PowerUp(const Signals& s, uint64_t now) {
    powered_ = true;
    if (s.vpp) Violation(now, "supply came up with the programming voltage applied");
    if (family_.twentyPin) {
        if (!s.resetHeld) Violation(now, "supply came up with RST high");
        if (s.clock) Violation(now, "supply came up with XTAL1 high");
    }
    counter_ = 0;
    clockCounted_ = false;
    busyUntil_ = 0;
    pulseUnpowered_ = false;
    if (erasePasses_ == 1) cycledSincePass_ = true;
}

void FlashChip::PowerDown(uint64_t now) {
    if (pulse_.judged) Lose(now, "supply switched off during the " + What(pulse_) + At(pulse_));
    if (now < busyUntil_) Violation(now, "supply switched off during the write cycle" + At(lastPulse_));
    if (vpp_) Violation(now, "supply switched off with the programming voltage applied");
    if (erasing_) EndEraseCycle(now);
    powered_ = false;
}

void FlashChip::VppChanged(bool on, uint64_t now) {
    vpp_ = on;
    if (on) {
        vppSince_ = now;
        holdFrom_.reset();
        if (!powered_) Violation(now, "programming voltage applied with the supply off");
        return;
    }
    if (!powered_) return;
    if (pulse_.judged)
        Lose(now, "programming voltage removed during the " + What(pulse_) + At(pulse_));
    else if (family_.vppSetupHold && holdFrom_ && now - *holdFrom_ < family_.vppSetupHold)
        Violation(now, "programming voltage removed " + Duration(now - *holdFrom_) + " after the " + What(lastPulse_) +
                           At(lastPulse_));
    if (erasing_) EndEraseCycle(now);
}

// The 20-pin chips' address counter steps on the rising edge of XTAL1.
void FlashChip::ClockChanged(const Signals& s, uint64_t now) {
    clock_ = s.clock;
    if (!powered_ || s.resetHeld) {
        clockCounted_ = false;
        return;
    }
    if (s.clock) {
        if (now < busyUntil_)
            Violation(now, "counter advanced during the write cycle at " + Hex(counter_));
        else if (busyUntil_ && now < busyUntil_ + family_.counterAfterWriteCycle)
            Violation(now, "counter advanced " + Duration(now - busyUntil_) + " after the write cycle at " + Hex(counter_));
        ++counter_;
        clockRose_ = now;
        clockCounted_ = true;
    } else if (clockCounted_) {
        if (now - clockRose_ < family_.counterClockHighMin)
            Violation(now, "XTAL1 high for only " + Duration(now - clockRose_) + " at counter " + Hex(counter_));
        clockCounted_ = false;
    }
}

// Address and data must hold still while PROG is low.
void FlashChip::CheckPulseSteady(const SocketLines& lines, uint64_t now) {
    const FlashMode m = pulse_.mode;
    if (m == M::WriteCode && Address(lines) != pulse_.address)
        Lose(now, "address changed during the " + What(pulse_) + At(pulse_));
    else if ((m == M::WriteCode || m == M::WriteLockBits || m == M::WriteFuse) && DataIn(lines) != pulse_.data)
        Lose(now, "data changed during the " + What(pulse_) + At(pulse_));
}

// ---- Pulses

void FlashChip::PulseStarts(const Signals& s, const SocketLines& lines, uint64_t now) {
    // The rest state leaves the line asserted across power cycles: only a pulse
    // that begins and ends without supply is one the chip cannot have taken.
    pulseUnpowered_ = !powered_;
    if (!powered_) return;
    if (!IsProgramming(s.mode)) return;  // PROG is only an input in the other modes
    pulse_ = {true, s.mode, now, Address(lines), DataIn(lines)};
    if (now < busyUntil_)
        Lose(now, What(pulse_) + " during write cycle" + At(pulse_));
    else if (erasing_)
        Lose(now, What(pulse_) + " during erase cycle" + At(pulse_));
    else if (!vpp_)
        Lose(now, What(pulse_) + " without programming voltage" + At(pulse_));
}

PulseLimits FlashChip::Limits(FlashMode m) const {
    switch (m) {
        case M::WriteCode: return family_.write;
        case M::ChipErase: return family_.erase;
        case M::WriteFuse: return family_.fuse;
        default: return family_.lock;
    }
}

void FlashChip::PulseEnds(uint64_t now) {
    pulse_.judged = false;
    const uint64_t width = now - pulse_.start;
    const PulseLimits limits = Limits(pulse_.mode);
    if (width < limits.min) {
        Violation(now, What(pulse_) + " too short (" + Duration(width) + ", at least " + Duration(limits.min) + ")" +
                           At(pulse_));
        return;
    }
    if (limits.max && width > limits.max)
        Warning(now, What(pulse_) + " longer than " + Duration(limits.max) + " (" + Duration(width) + ")" + At(pulse_));
    if (family_.vppSetupHold && pulse_.start - vppSince_ < family_.vppSetupHold)
        Violation(now, "programming voltage set up only " + Duration(pulse_.start - vppSince_) + " before the " +
                           What(pulse_) + At(pulse_));
    holdFrom_ = now;
    lastPulse_ = pulse_;
    if (family_.twoPassErase && pulse_.mode != M::ChipErase) erasePasses_ = 0;  // the passes must follow each other

    if (pulse_.mode != M::ChipErase && pulse_.mode != M::WriteLockBit1 && pulse_.mode != M::WriteLockBit2 &&
        pulse_.mode != M::WriteLockBit3 && !pulse_.data)
        Warning(now, What(pulse_) + " with the data lines floating" + At(pulse_));
    const uint8_t data = pulse_.data.value_or(0xFF);  // floating lines read as pulled up
    switch (pulse_.mode) {
        case M::WriteCode: Program(data, now); break;
        case M::ChipErase:
            if (family_.twoPassErase) {
                erasing_ = true;
                eraseStart_ = now;
            } else {
                Erase();
            }
            break;
        case M::WriteLockBit1: ProgramLock(0x01, data, now); break;
        case M::WriteLockBit2: ProgramLock(0x02, data, now); break;
        case M::WriteLockBit3: ProgramLock(0x04, data, now); break;
        case M::WriteLockBits:  // P0.7 = 0 sets LB1, P0.6 LB2, P0.5 LB3
            ProgramLock(static_cast<uint8_t>((~data >> 7 & 1) | (~data >> 5 & 2) | (~data >> 3 & 4)), data, now);
            break;
        case M::WriteFuse: state_.serialFuseEnabled = !(data & 0x01); break;
        default: break;
    }
}

void FlashChip::Program(uint8_t data, uint64_t end) {
    if (EffectiveLocks(end) & 0x01) {
        Violation(end, "programming refused: Lock Bit-1" + At(pulse_));
        return;
    }
    const uint32_t address = Position(pulse_.address, end, true);
    if (address >= chip_.size) {
        Warning(end, "write beyond the memory" + At(pulse_));
        return;
    }
    const bool stuck = std::find(stuck_.begin(), stuck_.end(), address) != stuck_.end();
    if (address < state_.memory.size() && !stuck) state_.memory[address] &= data;  // cells only go from 1 to 0
    StartWriteCycle(data, end);
}

void FlashChip::ProgramLock(uint8_t bits, uint8_t data, uint64_t end) {
    bits &= family_.lockBitsPresent;
    for (int i = 0; i < 3; ++i)
        if ((bits & (1 << i)) && !(state_.lockBits & (1 << i))) lockFrom_[i] = end + family_.lockDelay;
    state_.lockBits |= bits;
    if (family_.lockStartsWriteCycle) StartWriteCycle(data, end);
}

void FlashChip::StartWriteCycle(uint8_t data, uint64_t end) {
    busyUntil_ = end + writeCycle_;
    pollData_ = data;
}

void FlashChip::Erase() {
    state_.memory.assign(chip_.size, 0xFF);
    state_.lockBits = 0;
    lockFrom_ = {};
}

// A two-pass erase cycle ends when the programming voltage or the supply goes.
void FlashChip::EndEraseCycle(uint64_t now) {
    erasing_ = false;
    const uint64_t ran = now - eraseStart_;
    if (ran < family_.eraseCycle) {
        Violation(now, "erase cycle cut short after " + Duration(ran));
        erasePasses_ = 0;
        return;
    }
    if (erasePasses_ == 1 && cycledSincePass_) {
        Erase();
        erasePasses_ = 0;
        return;
    }
    if (erasePasses_ == 1) Violation(now, "erase cycle without a supply cycle since the last one: nothing erased");
    erasePasses_ = 1;
    cycledSincePass_ = false;
}

// ---- Reads

std::optional<uint8_t> FlashChip::DriveData(const SocketLines& lines, uint64_t now) {
    if (!powered_ || !lines.SupplyOn()) return std::nullopt;
    const Signals s = Read(lines);
    if (!IsRead(s.mode)) return std::nullopt;
    const bool reading = !lines.bus;  // the bench takes the lines now; otherwise it only looks for contention
    if (family_.vppForReads && !s.vpp) {
        if (reading) Violation(now, "read without programming voltage at " + Hex(Address(lines)));
        return std::nullopt;
    }
    const uint8_t value = now < busyUntil_ ? static_cast<uint8_t>(pollData_ ^ 0x80)  // data polling
                                           : ReadByte(s.mode, lines, now, reading);
    return family_.twentyPin ? Reverse(value) : value;
}

uint8_t FlashChip::ReadByte(FlashMode mode, const SocketLines& lines, uint64_t now, bool record) {
    switch (mode) {
        case M::ReadCode: {
            const uint32_t address = Position(Address(lines), now, record);
            if (address >= chip_.size) {
                if (record) Warning(now, "read beyond the memory at " + Hex(address));
                return 0xFF;
            }
            if (EffectiveLocks(now) & 0x02) return kLockedReadPattern;
            return address < state_.memory.size() ? state_.memory[address] : 0xFF;
        }
        case M::ReadSignature: {
            const uint32_t address = Position(Address(lines), now, record);
            for (int i = 0; i < chip_.signatureCount; ++i)
                if (chip_.signature[i].address == address) return chip_.signature[i].value;
            return 0xFF;
        }
        case M::ReadLockBits: {
            uint8_t value = 0xFF;
            const uint8_t locks = EffectiveLocks(now);
            for (int i = 0; i < 3; ++i)
                if ((locks & (1 << i)) && family_.lockReadBits[i] >= 0)
                    value &= static_cast<uint8_t>(~(1 << family_.lockReadBits[i]));
            return value;
        }
        case M::ReadFuse: return state_.serialFuseEnabled ? 0xFE : 0xFF;
        default: return 0xFF;
    }
}

}  // namespace sim
