#include "sim/Bench.h"

#include <stdexcept>
#include <string>
#include <thread>

#include "io/Timer.h"
#include "io/Unitio.h"

namespace sim {
namespace {

using io::Board;

bool Rising(uint8_t before, uint8_t after, uint8_t bit) { return !(before & bit) && (after & bit); }

}  // namespace

// The board sits at one address; a command on another port finds nothing
// there, as it would on a real PC.
std::string Bench::Claim(uint16_t) {
    claimed_ = true;
    return {};
}

void Bench::Record(uint16_t port, uint8_t value, bool write) {
    now_ += kPortAccessNanoseconds;
    ++accesses_;
    if (!claimed_) ++unclaimed_;
    (write ? writes_ : reads_)[port & 0x3FF]++;
    if (tracing_) trace_.push_back({now_, port, value, write});
    if (realTime_ && now_ >= nextCatchUp_) CatchUpWithRealTime();
}

void Bench::RunInRealTime(bool on) {
    realTime_ = on;
    realTimeFrom_ = now_;
    realFrom_ = std::chrono::steady_clock::now();
    lastCatchUp_ = now_;
    nextCatchUp_ = now_;
}

// Every 5 ms of virtual time, sleeps until real time has caught up. Where
// real time is far ahead, the program sat idle: what ran since the last
// catch-up counts from now.
void Bench::CatchUpWithRealTime() {
    const auto real = std::chrono::steady_clock::now();
    if (real - (realFrom_ + std::chrono::nanoseconds(now_ - realTimeFrom_)) > std::chrono::milliseconds(50)) {
        realFrom_ = real;
        realTimeFrom_ = lastCatchUp_;
    }
    std::this_thread::sleep_until(realFrom_ + std::chrono::nanoseconds(now_ - realTimeFrom_));
    lastCatchUp_ = now_;
    nextCatchUp_ = now_ + 5'000'000;
}

uint64_t Bench::Writes(uint16_t port) const { return writes_[port & 0x3FF]; }
uint64_t Bench::Reads(uint16_t port) const { return reads_[port & 0x3FF]; }

void Bench::WaitUntil(uint64_t nanoseconds) {
    if (nanoseconds > now_) now_ = nanoseconds;
}

void Bench::PortOut(uint16_t port, uint16_t value) {
    const uint8_t byte = value & 0xFF;
    Record(port, byte, true);
    if (port == base_) DataPortWritten(byte);
    else if (port == base_ + 2) ControlPortWritten(byte);
    else if (port == io::kTimerModePort || port == io::kTimerCountPort || port == io::kSystemControlPort)
        TimerWritten(port, byte);
}

uint16_t Bench::PortIn(uint16_t port) {
    uint8_t value = 0xFF;  // nothing answers
    if (port == base_) {
        value = dataPort_;  // the port's data latch reads back
    } else if (port == base_ + 1) {
        const bool serialOut = bus_ & 0x80;
        const bool bit7 = stuckStatus_ ? *stuckStatus_ : !serialOut;  // complemented on the way
        value = static_cast<uint8_t>((bit7 ? 0x80 : 0x00) | 0x7F);
    } else if (port == io::kSystemControlPort) {
        value = static_cast<uint8_t>((port61_ & ~0x23) | (port61Written_ & 0x03) | (TimerOutput() ? 0x20 : 0));
    }
    Record(port, value, false);
    // A poll that finds the count still running ends just as it runs out, so
    // the next poll sees the output high at that moment: a wait takes two
    // polls, not one per microsecond, and ends as the hardware's would, to
    // within one port access.
    if (port == io::kSystemControlPort && !(value & 0x20))
        if (const std::optional<uint64_t> high = TimerOutputHighAt(); high && *high > now_) now_ = *high;
    return value;
}

void Bench::StuckDataLine(int bit, bool level) {
    if (bit < 0 || bit > 7) throw std::out_of_range("data line " + std::to_string(bit));
    stuckLine_ = StuckLine{static_cast<uint8_t>(1u << bit), level};
}

uint8_t Bench::DataLines() {
    const std::optional<uint8_t> chip = chip_ ? chip_->DriveData(lines_, now_) : std::nullopt;
    uint8_t value = 0xFF;
    if (lines_.bus && chip) {
        // Both drive: counted, for the tests to see. The board's line drivers
        // outdo the chip's port 0, whose outputs only sink well, so the bus
        // register's byte is what the lines carry.
        ++contentions_;
        value = *lines_.bus;
    } else if (lines_.bus) {
        value = *lines_.bus;
    } else if (chip) {
        value = *chip;
    }
    if (stuckLine_) value = stuckLine_->level ? (value | stuckLine_->mask) : (value & ~stuckLine_->mask);
    if (observer_ && !lines_.bus)
        observer_->DataSampled(chip || stuckLine_ ? std::optional<uint8_t>(value) : std::nullopt, now_);
    return value;
}

void Bench::DataPortWritten(uint8_t value) {
    const uint8_t before = dataPort_;
    dataPort_ = value;
    if (Rising(before, value, Board::kBusClock)) {
        if (value & Board::kBusCapture)
            bus_ = DataLines();
        else
            bus_ = static_cast<uint8_t>((bus_ << 1) | (value & Board::kSerialData));
    }
    if (Rising(before, value, Board::kChainClock)) chain_ = static_cast<uint8_t>((chain_ << 1) | (value & Board::kSerialData));
    if (Rising(before, value, Board::kHighLatch)) lines_.addressHigh = chain_;
    if (Rising(before, value, Board::kControlLatch)) lines_.controlRegister = chain_;
    UpdateSocket();
}

void Bench::ControlPortWritten(uint8_t value) {
    const uint8_t before = controlPort_;
    controlPort_ = value;
    if (Rising(before, value, Board::kLowLatchStrobe)) lines_.addressLow = DataLines();
    UpdateSocket();
}

void Bench::UpdateSocket() {
    lines_.controlPort = controlPort_ & 0x07;
    lines_.bus = (dataPort_ & Board::kBusRelease) ? std::nullopt : std::optional<uint8_t>(bus_);
    // Compared with what the chip last saw: the latches change lines_ before this runs.
    const bool changed = !(lines_ == delivered_);
    delivered_ = lines_;
    if (lines_.bus && chip_ && chip_->DriveData(lines_, now_)) ++contentions_;
    if (changed && chip_) chip_->LinesChanged(lines_, now_);
    if (changed && observer_) observer_->LinesChanged(lines_, now_);
}

// The 8254's channel 2 in mode 0: the count runs while the gate is on and the
// output goes high when it has run out.
void Bench::TimerWritten(uint16_t port, uint8_t value) {
    if (port == io::kTimerModePort) {
        if ((value & 0xC0) != 0x80) return;  // another channel
        timerMode_ = value;
        lowByteNext_ = true;
        countedNs_ = 0;
        gateOnSince_ = now_;
        return;
    }
    if (port == io::kTimerCountPort) {
        timerCount_ = lowByteNext_ ? static_cast<uint16_t>((timerCount_ & 0xFF00) | value)
                                   : static_cast<uint16_t>((timerCount_ & 0x00FF) | (value << 8));
        lowByteNext_ = !lowByteNext_;
        countedNs_ = 0;
        gateOnSince_ = now_;
        return;
    }
    port61Written_ = value;
    const bool gate = value & 0x01;
    if (gate && !gate_) gateOnSince_ = now_;
    if (!gate && gate_) countedNs_ += now_ - gateOnSince_;
    gate_ = gate;
}

uint64_t Bench::TimerLength() const { return io::TicksToNanoseconds(timerCount_ == 0 ? 65536u : timerCount_); }

bool Bench::TimerOutput() const {
    if (timerStuckHigh_) return true;
    if (timerDead_ || timerMode_ == 0) return false;
    const uint64_t counted = countedNs_ + (gate_ ? now_ - gateOnSince_ : 0);
    return counted >= TimerLength();
}

// While the channel counts (programmed, both count bytes in, gate on), the
// moment its output goes high.
std::optional<uint64_t> Bench::TimerOutputHighAt() const {
    if (timerStuckHigh_ || timerDead_ || timerMode_ == 0 || !lowByteNext_ || !gate_) return std::nullopt;
    const uint64_t length = TimerLength();
    if (countedNs_ >= length) return std::nullopt;
    return gateOnSince_ + (length - countedNs_);
}

}  // namespace sim
