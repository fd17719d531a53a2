#include "io/Timer.h"

namespace io {
namespace {

constexpr uint16_t kChannel2Mode0 = 0xB0;  // channel 2, low then high byte, mode 0, binary
constexpr uint16_t kGate = 0x01;
constexpr uint16_t kSpeaker = 0x02;
constexpr uint16_t kOutput = 0x20;
// How long the channel may take beyond its count before the clock takes over.
constexpr uint64_t kGraceNanoseconds = 20'000'000;

}  // namespace

uint64_t TicksToNanoseconds(uint32_t ticks) {
    return (static_cast<uint64_t>(ticks) * 1'000'000'000ull + kTimerHz - 1) / kTimerHz;
}

void Timer::TimerInit() {
    answers_ = true;
    if (!port_.HasTimerPorts()) return;
    port61Shadow_ = port_.PortIn(kSystemControlPort) & ~(kGate | kSpeaker) & 0xFF;
    port_.PortOut(kSystemControlPort, port61Shadow_);
}

void Timer::TimerDelay(uint16_t ticks) {
    const uint64_t started = clock_.Now();
    const uint64_t length = TicksToNanoseconds(ticks);
    if (!port_.HasTimerPorts()) {
        clock_.WaitUntil(started + length);
        return;
    }
    if (!answers_) {  // it did not answer before: the grace would be lost on every wait
        ++fallbacks_;
        clock_.WaitUntil(started + length);
        return;
    }
    port_.PortOut(kTimerModePort, kChannel2Mode0);
    port_.PortOut(kTimerCountPort, ticks & 0xFF);
    port_.PortOut(kTimerCountPort, ticks >> 8);
    port_.PortOut(kSystemControlPort, port61Shadow_ | kGate);
    const uint64_t giveUp = started + length + kGraceNanoseconds;
    while (!(port_.PortIn(kSystemControlPort) & kOutput)) {
        if (clock_.Now() > giveUp) {
            ++fallbacks_;  // the output never came up: no timer answers here
            answers_ = false;
            break;
        }
    }
    port_.PortOut(kSystemControlPort, port61Shadow_ & ~kGate & 0xFF);
    // The clock holds the floor: a port that reads all ones, as an absent timer
    // does, would otherwise end every wait at once.
    if (clock_.Now() < started + length) {
        ++fallbacks_;
        clock_.WaitUntil(started + length);
    }
}

void Timer::Delay500ms() {
    for (int i = 0; i < 50; ++i) {
        Delay10ms();
        if (onLongWait_) onLongWait_();
    }
}

}  // namespace io
