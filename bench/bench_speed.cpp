// How fast the virtual bench runs: port accesses per second of real time, for
// the register transfers every device routine is made of.
#include <benchmark/benchmark.h>

#include "sim/BenchBoard.h"

namespace {

void Run(benchmark::State& state, void (io::Board::*operation)()) {
    sim::BenchBoard b;
    b.timer.TimerInit();
    for (auto _ : state) {
        b.board.DataByte = static_cast<uint16_t>(state.iterations() & 0xFF);
        (b.board.*operation)();
    }
    state.counters["port accesses/s"] =
        benchmark::Counter(static_cast<double>(b.bench.AccessCount()), benchmark::Counter::kIsRate);
    state.counters["virtual us/op"] =
        benchmark::Counter(static_cast<double>(b.bench.Now()) / 1000.0 / static_cast<double>(state.iterations()));
}

void ShiftOutData(benchmark::State& state) { Run(state, &io::Board::ShiftOutData); }
void SendAddressLow(benchmark::State& state) { Run(state, &io::Board::SendAddressLow); }
void ReadDataByte(benchmark::State& state) { Run(state, &io::Board::ReadDataByte); }

BENCHMARK(ShiftOutData);
BENCHMARK(SendAddressLow);
BENCHMARK(ReadDataByte);

}  // namespace

BENCHMARK_MAIN();
