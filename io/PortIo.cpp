#include "io/PortIo.h"

#include <chrono>

namespace io {

uint64_t SteadyClock::Now() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void SteadyClock::WaitUntil(uint64_t nanoseconds) {
    // A busy wait, as the timer's is: a sleep could end far too late.
    while (Now() < nanoseconds) {
    }
}

}  // namespace io
