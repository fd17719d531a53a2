// quillon-cli: Quillon's commands for scripts, on the parallel port or the bench.
#include <array>
#include <optional>
#include <ostream>
#include <string>

#include "device/HexText.h"
#include "eeprom/AddressField.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/EepromEntries.h"
#include "programs/EepromChipKind.h"
#include "programs/VirtualChips.h"
#include "programs/cli/CliCore.h"
#include "shell/QuillonDevice.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: quillon-cli -d DEVICE [options] COMMAND [FILE]
       quillon-cli [-p PORT] self-test
Programs parallel EEPROMs.

Commands:
  blank-check       check that the chip is erased
  read FILE         read the chip into FILE
  write FILE        program the buffer window of FILE into the chip
  verify FILE       compare the chip with the buffer window of FILE
  erase             erase the chip
  self-test         test the board and its cable, with the socket's supply off

Options:
  -d, --device DEVICE      28C16 28C17 28C64 28C256 29C256 2816 2817 2864
                           (AT prefix optional)
  -p, --port PORT          lpt1 (default), lpt2, lpt3, or 0x378, 0x278, 0x3BC
      --delay MS           write delay per byte: 1, 2, 3, 5 or 10 (default)
      --buffer-start HEX   first buffer address of the window (default 0)
      --buffer-end HEX     last buffer address of the window (default the device's last)
      --device-start HEX   the chip address that takes the buffer start (default 0)
)";

struct Field {
    std::string_view option;
    uint16_t shell::QuillonState::*value;
    eeprom::AddressRule rule;
    std::optional<std::string> typed;
};

struct Quillon {
    shell::QuillonState state;
    std::array<Field, 3> fields{{{"buffer-start", &shell::QuillonState::BufferStart, eeprom::kBufferStartRule, {}},
                                 {"buffer-end", &shell::QuillonState::BufferEnd, eeprom::kBufferEndRule, {}},
                                 {"device-start", &shell::QuillonState::DeviceStart, eeprom::kDeviceStartRule, {}}}};

    std::string TakeOption(std::string_view name, std::string_view value) {
        if (name == "delay") {
            // The write delay list's milliseconds, in its order.
            constexpr std::array<std::string_view, 5> kMilliseconds{"1", "2", "3", "5", "10"};
            for (size_t i = 0; i < kMilliseconds.size(); ++i)
                if (kMilliseconds[i] == value) {
                    state.WriteDelayIndex = static_cast<uint16_t>(i);
                    return {};
                }
            return "--delay takes 1, 2, 3, 5 or 10 (milliseconds per byte)";
        }
        for (Field& field : fields)
            if (field.option == name) {
                // A text that is no hex number is a mistake on a command line, not something to correct.
                if (!device::ParseHex(value)) return "--" + std::string(name) + " takes a hexadecimal address, not '" + std::string(value) + "'";
                field.typed = value;
            }
        return {};
    }

    // The fields' corrections, told, then the entries' window checks before the board is touched.
    std::string Settle(const cli::Choice& choice, std::ostream* notes) {
        const eeprom::DeviceEntry& chip = *eeprom::FindDevice(choice.deviceType);
        state.WriteDelayTicks = eeprom::FindWriteDelay(state.WriteDelayIndex)->ticks;
        state.BufferEnd = static_cast<uint16_t>(chip.size - 1);
        for (const Field& field : fields) {
            if (!field.typed) continue;
            const uint16_t value = eeprom::AddressFieldValue(*field.typed, field.rule, &chip);
            if (notes && device::ParseHex(*field.typed) != value)
                *notes << "quillon-cli: --" << field.option << " " << *field.typed << " taken as " << device::Hex4(value)
                       << "\n";
            state.*field.value = value;
        }
        const std::string_view command = choice.command->name;
        if (command != "write" && command != "verify") return {};
        return eeprom::WindowError(chip, {state.BufferStart, state.BufferEnd, state.DeviceStart});
    }
};

}  // namespace

int main(int argc, char** argv) {
    Quillon quillon;
    cli::Program program;
    program.name = "quillon-cli";
    program.usage = kUsage;
    program.simProgram = "quillon-sim";
    using cli::FileUse;
    using shell::DeviceLayer;
    const auto says = [](const char* text) { return [text] { return std::string(text); }; };
    program.commands = {
        {"blank-check", "Blank Checking", &DeviceLayer::BlankCheckDevice, FileUse::None, says("Blank Check O.K")},
        {"read", "Reading", &DeviceLayer::ReadDevice, FileUse::Out, says("Data Reading Complete")},
        {"write", "Programming", &DeviceLayer::WriteDevice, FileUse::In, says("Programming/Verify OK")},
        {"verify", "Verifying", &DeviceLayer::VerifyDevice, FileUse::In, says("Verify OK")},
        {"erase", "Erasing", &DeviceLayer::EraseDevice, FileUse::None, says("Erase OK")},
    };
    for (const eeprom::DeviceEntry& chip : eeprom::Catalogue()) program.chips.push_back({chip.chip, chip.size});
    program.options = {{"delay", 0, true}, {"buffer-start", 0, true}, {"buffer-end", 0, true}, {"device-start", 0, true}};
    program.takeOption = [&](std::string_view name, std::string_view value) { return quillon.TakeOption(name, value); };
    program.settle = [&](const cli::Choice& choice, std::ostream* notes) { return quillon.Settle(choice, notes); };
    program.device = [&](io::Board& board) { return std::make_unique<shell::QuillonDevice>(quillon.state, board); };
    program.virtualChips = [](const shell::AppState& socket, sim::Bench& bench, shell::DeviceLayer& device,
                              std::filesystem::path folder) -> std::unique_ptr<shell::DeviceLayer> {
        return std::make_unique<programs::VirtualChips<programs::EepromChipKind>>(socket, bench, device, std::move(folder));
    };
    return cli::Main(program, quillon.state, argc, argv);
}
