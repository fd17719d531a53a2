// The virtual bench: a PortIo whose ports are a model of the programmer board,
// the PC's interval timer channel 2 and a socket for a chip model. Time is
// virtual: every port access costs kPortAccessNanoseconds, waits jump ahead,
// and nothing waits in real time.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/PortIo.h"
#include "sim/Socket.h"

namespace sim {

inline constexpr uint64_t kPortAccessNanoseconds = 1000;  // an ISA-speed port access

struct Access {
    uint64_t time;
    uint16_t port;
    uint8_t value;
    bool write;
};

class Bench : public io::PortIo, public io::Clock {
public:
    explicit Bench(uint16_t portBase = 0x378) : base_(portBase) {}

    // PortIo
    std::string Claim(uint16_t portBase) override;
    void Release() override { claimed_ = false; }
    void PortOut(uint16_t port, uint16_t value) override;
    uint16_t PortIn(uint16_t port) override;
    bool HasTimerPorts() const override { return true; }
    // Programs that share the bench's chips (a -sim program and a command
    // line on one chip folder) share this lock; none by default.
    std::string LockName(uint16_t) const override { return lockName_; }
    void ShareAs(std::string lockName) { lockName_ = std::move(lockName); }

    // Clock: virtual time.
    uint64_t Now() override { return now_; }
    void WaitUntil(uint64_t nanoseconds) override;

    // Keeps virtual time from running ahead of real time, so that a command
    // takes as long as on a real board and its progress can be watched.
    void RunInRealTime(bool on);

    void Insert(SocketChip* chip) { chip_ = chip; }
    // One observer of the socket lines (a waveform dump); nullptr for none.
    void Watch(SocketObserver* observer) { observer_ = observer; }
    const SocketLines& Lines() const { return lines_; }

    // The board's registers, as the hardware holds them.
    uint8_t BusRegister() const { return bus_; }
    uint8_t DataPort() const { return dataPort_; }
    uint8_t ControlPort() const { return controlPort_; }
    uint8_t ChainRegister() const { return chain_; }
    // What the data lines carry: the bus, the chip, or the pull-ups (0xFF),
    // with a stuck line at its level.
    uint8_t DataLines();

    // Trace and counters. The trace is off until a test asks for it; the
    // counters always count.
    void Trace(bool on) { tracing_ = on; }
    const std::vector<Access>& Accesses() const { return trace_; }
    void ClearTrace() { trace_.clear(); }
    uint64_t Writes(uint16_t port) const;
    uint64_t Reads(uint16_t port) const;
    uint64_t AccessCount() const { return accesses_; }
    // Accesses made while the port was not claimed, which the hardware back
    // ends drop: a whole command must make none.
    uint64_t UnclaimedAccesses() const { return unclaimed_; }
    uint64_t Contentions() const { return contentions_; }

    // Faults and settings for tests.
    void StatusBit7(std::optional<bool> stuck) { stuckStatus_ = stuck; }
    // Data line `bit` (0-7) held at `level` whatever drives it, as a short or
    // a broken trace would: the bus register's capture and the low-address
    // latch see it. std::nullopt frees the line.
    void StuckDataLine(int bit, bool level);
    void StuckDataLine(std::nullopt_t) { stuckLine_.reset(); }
    void TimerNeverFires(bool never) { timerDead_ = never; }
    void TimerAlwaysHigh(bool high) { timerStuckHigh_ = high; }  // as a port that reads all ones
    void SystemControlBits(uint8_t bits) { port61_ = bits; }  // what port 0x61 reads besides gate, speaker, output
    uint8_t Port61Written() const { return port61Written_; }

    // The 8254 channel 2 as last programmed.
    uint8_t TimerMode() const { return timerMode_; }
    uint16_t TimerCount() const { return timerCount_; }

private:
    void DataPortWritten(uint8_t value);
    void ControlPortWritten(uint8_t value);
    void TimerWritten(uint16_t port, uint8_t value);
    uint64_t TimerLength() const;
    bool TimerOutput() const;
    std::optional<uint64_t> TimerOutputHighAt() const;
    void UpdateSocket();
    void Record(uint16_t port, uint8_t value, bool write);
    void CatchUpWithRealTime();

    uint16_t base_;
    std::string lockName_;
    bool claimed_ = false;
    uint64_t now_ = 0;
    uint64_t accesses_ = 0;
    uint64_t unclaimed_ = 0;

    uint8_t dataPort_ = 0;
    uint8_t controlPort_ = 0;
    uint8_t bus_ = 0;
    uint8_t chain_ = 0;
    SocketLines lines_;
    SocketLines delivered_;  // the lines as the chip last saw them
    SocketChip* chip_ = nullptr;
    SocketObserver* observer_ = nullptr;
    uint64_t contentions_ = 0;

    uint8_t port61_ = 0x10;
    uint8_t port61Written_ = 0;
    uint8_t timerMode_ = 0;
    uint16_t timerCount_ = 0;
    bool lowByteNext_ = true;
    bool gate_ = false;
    uint64_t countedNs_ = 0;     // counting time before the gate last went on
    uint64_t gateOnSince_ = 0;
    bool timerDead_ = false;
    bool timerStuckHigh_ = false;
    std::optional<bool> stuckStatus_;
    struct StuckLine {
        uint8_t mask;
        bool level;
    };
    std::optional<StuckLine> stuckLine_;

    bool realTime_ = false;
    uint64_t realTimeFrom_ = 0;     // virtual time when real time was taken
    std::chrono::steady_clock::time_point realFrom_;
    uint64_t lastCatchUp_ = 0;
    uint64_t nextCatchUp_ = 0;

    bool tracing_ = false;  // a long write would record gigabytes
    std::vector<Access> trace_;
    std::vector<uint64_t> writes_ = std::vector<uint64_t>(0x400);
    std::vector<uint64_t> reads_ = std::vector<uint64_t>(0x400);
};

}  // namespace sim
