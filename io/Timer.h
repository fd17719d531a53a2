// Waits of exact minimum length, counted in ticks of the PC interval timer
// (1193182 Hz). With the timer ports the 8254's channel 2 counts them; without,
// or when its output never comes up, the monotonic clock does. No wait ends early.
#pragma once

#include <cstdint>
#include <functional>

#include "io/PortIo.h"

namespace io {

inline constexpr uint32_t kTimerHz = 1193182;

// The nanoseconds that `ticks` timer periods take, rounded up.
uint64_t TicksToNanoseconds(uint32_t ticks);

class Timer {
public:
    Timer(PortIo& port, Clock& clock) : port_(port), clock_(clock) {}

    void TimerInit();
    void TimerDelay(uint16_t ticks);

    void DelayTick() { TimerDelay(1); }
    void Delay12us() { TimerDelay(14); }
    void Delay100us() { TimerDelay(119); }
    void Delay2ms() { TimerDelay(2387); }
    void Delay10ms() { TimerDelay(11932); }
    void Delay500ms();
    void DelayWrite(uint16_t writeDelayTicks) { TimerDelay(writeDelayTicks); }

    uint16_t Port61Shadow() const { return port61Shadow_; }
    // How many waits the channel never finished, so the clock had to; after the
    // channel failed to answer, every wait.
    int Fallbacks() const { return fallbacks_; }
    // False once the channel's output never came up: from then on, until the
    // next TimerInit, the clock counts every wait, without paying the grace again.
    bool TimerAnswers() const { return answers_; }
    // Runs between the 10 ms parts of a long wait, to keep the window alive.
    void OnLongWait(std::function<void()> hook) { onLongWait_ = std::move(hook); }

private:
    PortIo& port_;
    Clock& clock_;
    uint16_t port61Shadow_ = 0;
    int fallbacks_ = 0;
    bool answers_ = true;
    std::function<void()> onLongWait_;
};

}  // namespace io
