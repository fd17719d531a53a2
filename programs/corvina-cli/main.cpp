// corvina-cli: Corvina's commands for scripts, on the parallel port or the bench.
#include <ostream>

#include "device/HexText.h"
#include "flash/FlashCatalogue.h"
#include "flash/SignatureBytes.h"
#include "programs/FlashChipKind.h"
#include "programs/VirtualChips.h"
#include "programs/cli/CliCore.h"
#include "shell/CorvinaDevice.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: corvina-cli -d DEVICE [options] COMMAND [FILE]
       corvina-cli [-p PORT] self-test
Programs Atmel 89-series flash microcontrollers.

Commands:
  blank-check       check that the chip is erased
  read FILE         read the chip into FILE
  write FILE        erase the chip and program FILE into it
  verify FILE       compare the chip with FILE
  signature         show the signature bytes (and program bits)
  self-test         test the board and its cable, with the socket's supply off

Options:
  -d, --device DEVICE      89C51 89C52 89C55 89C1051 89C1051U 89C2051 89C4051
                           89S53 89S8252 89C55WD 89C51RC (AT prefix optional)
  -p, --port PORT          lpt1 (default), lpt2, lpt3, or 0x378, 0x278, 0x3BC
      --lock 1,2,3         lock bits to program after a good write
      --isp                program the ISP fuse after a good write (89S53, 89S8252)
      --force              write even when the signature is not the device's
)";

struct Corvina {
    shell::CorvinaState state;
    bool force = false;
    std::string lockText;
    bool isp = false;

    std::string TakeOption(std::string_view name, std::string_view value) {
        if (name == "force") force = true;
        if (name == "isp") isp = true;
        if (name != "lock") return {};
        lockText = value;
        for (size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            const bool digit = i % 2 == 0 && c >= '1' && c <= '3';
            if (!digit && !(i % 2 == 1 && c == ',')) return "--lock takes lock bit numbers 1, 2, 3, as 1,2";
            if (digit) state.ProgramBits |= static_cast<uint16_t>(1u << (c - '1'));
        }
        if (value.empty() || value.back() == ',') return "--lock takes lock bit numbers 1, 2, 3, as 1,2";
        return {};
    }

    // Program bits the chip does not have are refused, not dropped.
    std::string Settle(const cli::Choice& choice) {
        const flash::DeviceEntry& chip = *flash::FindDevice(choice.deviceType);
        if ((state.ProgramBits & flash::kLockBit3) && !chip.lockBit3) return "the " + std::string(chip.chip) + " has no Lock Bit-3";
        if (isp && !chip.ispFuse) return "the " + std::string(chip.chip) + " has no ISP fuse";
        if (isp) state.ProgramBits |= flash::kIspFuse;
        return {};
    }

    std::string RefuseChip(const std::string& report) const {
        const flash::DeviceEntry& chip = *flash::FindDevice(state.DeviceType);
        const auto expected = flash::ExpectedSignature(state.DeviceType);
        const auto found = flash::SignatureOfReport(report);
        if (expected && found == expected) return {};
        const auto bytes = [](const flash::IdentityBytes& b) { return device::Hex2(b[0]) + " " + device::Hex2(b[1]); };
        return "The chip in the socket is not an " + std::string(chip.chip) + ": its signature reads " +
               (found ? bytes(*found) : std::string("nothing")) + ", an " + std::string(chip.chip) + "'s is " +
               (expected ? bytes(*expected) : std::string("unknown")) +
               ".\nNothing was written; --force writes it all the same.";
    }
};

}  // namespace

int main(int argc, char** argv) {
    Corvina corvina;
    cli::Program program;
    program.name = "corvina-cli";
    program.usage = kUsage;
    program.simProgram = "corvina-sim";
    using shell::DeviceLayer;
    using cli::FileUse;
    const auto says = [](const char* text) { return [text] { return std::string(text); }; };
    program.commands = {
        {"blank-check", "Blank Checking", &DeviceLayer::BlankCheckDevice, FileUse::None, says("Blank Check O.K")},
        {"read", "Reading", &DeviceLayer::ReadDevice, FileUse::Out, says("Data Reading Complete")},
        {"write", "Programming", &DeviceLayer::WriteDevice, FileUse::In,
         [&] {
             return std::string(corvina.state.ProgramBits ? "Programming/Verify OK\nLock Bits Programmed"
                                                          : "Programming/Verify OK");
         }},
        {"verify", "Verifying", &DeviceLayer::VerifyDevice, FileUse::In, says("Verify OK")},
        {"signature", "Signature", &DeviceLayer::ReadSignature, FileUse::None, nullptr},
    };
    for (const flash::DeviceEntry& chip : flash::Catalogue()) program.chips.push_back({chip.chip, chip.size});
    program.options = {{"lock", 0, true}, {"isp", 0, false}, {"force", 0, false}};
    program.takeOption = [&](std::string_view name, std::string_view value) { return corvina.TakeOption(name, value); };
    program.settle = [&](const cli::Choice& choice, std::ostream*) { return corvina.Settle(choice); };
    program.refuseChip = [&](const std::string& report) { return corvina.RefuseChip(report); };
    program.signature = &DeviceLayer::ReadSignature;
    program.force = &corvina.force;
    program.device = [&](io::Board& board) { return std::make_unique<shell::CorvinaDevice>(corvina.state, board); };
    program.virtualChips = [](const shell::AppState& socket, sim::Bench& bench, shell::DeviceLayer& device,
                              std::filesystem::path folder) -> std::unique_ptr<shell::DeviceLayer> {
        return std::make_unique<programs::VirtualChips<programs::FlashChipKind>>(socket, bench, device, std::move(folder));
    };
    return cli::Main(program, corvina.state, argc, argv);
}
