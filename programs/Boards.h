// The board side of each program: the real parallel port, or the bench.
#pragma once

#include <string_view>

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
    // --real-time: commands take as long as they would on a real board.
    void TakeOptions(int argc, char** argv) {
        for (int i = 1; i < argc; ++i)
            if (std::string_view(argv[i]) == "--real-time") bench.bench.RunInRealTime(true);
    }
    shell::Hardware Parts(shell::DeviceLayer* device) { return {bench.bench, bench.timer, bench.board, device}; }
};

inline const char* const kBenchMarker = "  [virtual bench]";

}  // namespace programs
