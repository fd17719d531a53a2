// Corvina's commands on the bench, each chip with its model in the socket:
// the real time a whole-chip command takes here, and the bench's virtual
// time, which is the estimate of the time on real hardware.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "flash/FlashCatalogue.h"
#include "flash/FlashEntries.h"
#include "sim/BenchBoard.h"
#include "sim/FlashChip.h"

namespace {

enum class Command { BlankCheck, Read, Write };

void Run(benchmark::State& state, uint16_t type, Command command) {
    const flash::DeviceEntry& device = *flash::FindDevice(type);
    auto chip = sim::FlashChip::Make(device.chip);
    sim::BenchBoard b;
    b.bench.Insert(chip.get());
    b.bench.Claim(0x378);
    flash::FlashSocket socket(b.board);
    flash::StartUpBoard(b.board);
    b.timer.TimerInit();
    flash::BoardIdle(socket, type);
    std::array<uint16_t, 32768> image;
    for (uint32_t a = 0; a < image.size(); ++a) image[a] = static_cast<uint16_t>((a * 7 + 3) & 0xFF);  // no byte skipped
    if (command == Command::BlankCheck) image.fill(0xFF);
    device::NoProgress progress;
    const flash::Request request{type, image, progress};
    uint64_t virtualNs = 0;
    for (auto _ : state) {
        if (command == Command::BlankCheck) chip->State().memory.assign(device.size, 0xFF);  // a blank chip: a full pass
        const uint64_t start = b.bench.Now();
        std::string result;
        switch (command) {
            case Command::BlankCheck: result = flash::BlankCheckDevice(socket, request); break;
            case Command::Read: result = flash::ReadDevice(socket, request); break;
            case Command::Write: result = flash::WriteDevice(socket, request); break;
        }
        virtualNs = b.bench.Now() - start;
        if (result != "OK") state.SkipWithError(result.c_str());
    }
    state.counters["virtual s"] = static_cast<double>(virtualNs) / 1e9;
}

void Register() {
    const std::pair<const char*, Command> commands[] = {
        {"BlankCheck", Command::BlankCheck}, {"Read", Command::Read}, {"Write", Command::Write}};
    for (uint16_t type = 0; type < flash::Catalogue().size(); ++type)
        for (auto [name, command] : commands)
            benchmark::RegisterBenchmark((std::string(name) + "/" + std::string(flash::FindDevice(type)->chip)).c_str(),
                                         [type, command = command](benchmark::State& s) { Run(s, type, command); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
}

const bool registered = (Register(), true);

}  // namespace
