// Quillon's commands on the bench, each part with its model in the socket:
// the real time a whole-device command takes here, and the bench's virtual
// time, the estimate of the time on real hardware, at the write delay given.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "eeprom/EepromCatalogue.h"
#include "eeprom/EepromEntries.h"
#include "sim/BenchBoard.h"
#include "sim/EepromChip.h"

namespace {

enum class Command { BlankCheck, Read, Write, Erase };

void Run(benchmark::State& state, uint16_t type, Command command, uint16_t delayIndex) {
    const eeprom::DeviceEntry& device = *eeprom::FindDevice(type);
    auto chip = sim::EepromChip::Make(device.chip);
    sim::BenchBoard b;
    b.bench.Insert(chip.get());
    b.bench.Claim(0x378);
    eeprom::EepromSocket socket(b.board);
    eeprom::StartUpBoard(b.board);
    b.timer.TimerInit();
    eeprom::RestAtStart(socket);
    std::array<uint16_t, 32768> image;
    for (uint32_t a = 0; a < image.size(); ++a) image[a] = static_cast<uint16_t>((a * 7 + 3) & 0xFF);
    device::NoProgress progress;
    const eeprom::Request request{type, image, progress, {0, static_cast<uint16_t>(device.size - 1), 0},
                                  eeprom::FindWriteDelay(delayIndex)->ticks};
    uint64_t virtualNs = 0;
    for (auto _ : state) {
        const uint64_t start = b.bench.Now();
        std::string result;
        switch (command) {
            case Command::BlankCheck: result = eeprom::BlankCheckDevice(socket, request); break;
            case Command::Read: result = eeprom::ReadDevice(socket, request); break;
            case Command::Write: result = eeprom::WriteDevice(socket, request); break;
            case Command::Erase: result = eeprom::EraseDevice(socket, request); break;
        }
        virtualNs = b.bench.Now() - start;
        // The 29C256 keeps one byte a sector of a byte-by-byte write: its failure is the part's.
        if (result != "OK" && !(command == Command::Write && device.scheme == eeprom::Scheme::WeOnA14))
            state.SkipWithError(result.c_str());
    }
    state.counters["virtual s"] = static_cast<double>(virtualNs) / 1e9;
}

void Register() {
    const std::pair<const char*, Command> commands[] = {
        {"BlankCheck", Command::BlankCheck}, {"Read", Command::Read}, {"Write", Command::Write}, {"Erase", Command::Erase}};
    for (uint16_t type = 0; type < eeprom::Catalogue().size(); ++type) {
        const std::string chip(eeprom::FindDevice(type)->chip);
        for (auto [name, command] : commands) {
            const bool delayed = command == Command::Write || command == Command::Erase;
            // 10 msec, and 1 msec where the part's cycle allows it (not the 32K parts)
            for (uint16_t delay : {uint16_t(0), eeprom::kLongDelayIndex}) {
                if (delay != eeprom::kLongDelayIndex && (!delayed || eeprom::FindDevice(type)->size == 0x8000)) continue;
                const std::string label = std::string(name) + "/" + chip + (delayed ? delay ? "/10ms" : "/1ms" : "");
                benchmark::RegisterBenchmark(label.c_str(), [=, command = command](benchmark::State& s) {
                    Run(s, type, command, delay);
                })->Unit(benchmark::kMillisecond)->Iterations(1);
            }
        }
    }
}

const bool registered = (Register(), true);

}  // namespace
