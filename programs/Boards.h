// The board side of each program: the real parallel port, or the bench.
#pragma once

#include "io/HardwarePorts.h"
#include "io/Timer.h"
#include "io/Unitio.h"
#include "shell/DeviceLayer.h"
#include "sim/BenchBoard.h"

namespace programs {

struct RealBoard {
    io::HardwarePortIo port;
    io::SteadyClock clock;
    io::Timer timer{port, clock};
    io::Board board{port, timer};
    shell::Hardware Parts(shell::DeviceLayer* device) { return {port, timer, board, device}; }
};

struct VirtualBoard {
    sim::BenchBoard bench;
    shell::Hardware Parts(shell::DeviceLayer* device) { return {bench.bench, bench.timer, bench.board, device}; }
};

inline const char* const kBenchMarker = "  [virtual bench]";

}  // namespace programs
