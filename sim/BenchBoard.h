// A board on the bench with its timer: what a -sim program or a test drives.
#pragma once

#include "io/Timer.h"
#include "io/Unitio.h"
#include "sim/Bench.h"

namespace sim {

struct BenchBoard {
    explicit BenchBoard(uint16_t portBase = 0x378) : bench(portBase) {}
    Bench bench;
    io::Timer timer{bench, bench};
    io::Board board{bench, timer};
};

}  // namespace sim
