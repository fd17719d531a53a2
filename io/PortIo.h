// Byte access to I/O ports, and the clock that the timer falls back on. The
// hardware back ends and the virtual bench implement these.
#pragma once

#include <cstdint>
#include <string>

namespace io {

// The PC's interval timer ports: channel 2 count, mode/command, system control.
inline constexpr uint16_t kTimerCountPort = 0x42;
inline constexpr uint16_t kTimerModePort = 0x43;
inline constexpr uint16_t kSystemControlPort = 0x61;

class PortIo {
public:
    virtual ~PortIo() = default;

    // Gets access to the parallel port at `portBase` (and the timer ports where
    // the back end reaches them) for one device command. Empty on success,
    // otherwise the reason, for the user.
    virtual std::string Claim(uint16_t portBase) = 0;
    virtual void Release() = 0;

    virtual void PortOut(uint16_t port, uint16_t value) = 0;  // the low byte is written
    virtual uint16_t PortIn(uint16_t port) = 0;                // zero-extended
    virtual bool HasTimerPorts() const = 0;
    // The name of the lock that keeps a second program off this port while a
    // command runs; empty where no other program can reach it (the bench).
    virtual std::string LockName(uint16_t) const { return {}; }
};

// Monotonic time in nanoseconds, and a busy wait on it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t Now() = 0;
    virtual void WaitUntil(uint64_t nanoseconds) = 0;
};

// The system's monotonic clock.
class SteadyClock : public Clock {
public:
    uint64_t Now() override;
    void WaitUntil(uint64_t nanoseconds) override;
};

}  // namespace io
