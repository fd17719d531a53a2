#include "programs/cli/CliCore.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>

#include "device/BoardSelfTest.h"
#include "device/HexText.h"
#include "device/Outcome.h"
#include "device/PortSession.h"
#include "io/PortTable.h"
#include "programs/Boards.h"
#include "programs/ChipFiles.h"
#include "programs/cli/ImageFiles.h"
#include "programs/cli/ProgressBar.h"
#include "sim/Vcd.h"

namespace cli {
namespace {

constexpr std::string_view kVersion = CQ_VERSION;  // the project's, as the package has it

struct UsageError {
    std::string message;
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The chip's name as typed: either case, with or without the maker's "AT".
std::optional<uint16_t> FindChip(const Program& program, std::string_view typed) {
    std::string name = Upper(typed);
    if (name.starts_with("AT")) name.erase(0, 2);
    for (size_t i = 0; i < program.chips.size(); ++i)
        if (Upper(program.chips[i].name) == name) return static_cast<uint16_t>(i);
    return std::nullopt;
}

uint16_t ChipOrRefuse(const Program& program, std::string_view typed) {
    if (const auto found = FindChip(program, typed)) return *found;
    std::string known;
    for (const Chip& chip : program.chips) known += " " + std::string(chip.name);
    throw UsageError{"unknown device '" + std::string(typed) + "'; the known devices are:" + known};
}

// As the Port menu offers them: LPT-1 to LPT-3, by name or base address.
uint16_t PortOrRefuse(std::string_view typed) {
    const std::string name = Upper(typed);
    for (const io::LptPort& port : io::kLptPorts) {
        if (name == "LPT" + std::to_string(port.number)) return port.base;
        if (name.starts_with("0X") && device::ParseHex(name.substr(2)) == port.base) return port.base;
    }
    throw UsageError{"unknown port '" + std::string(typed) + "'; choose lpt1, lpt2, lpt3, 0x378, 0x278 or 0x3BC"};
}

// The options and notes every program's --help ends with, after its own.
constexpr std::string_view kCommonUsage = R"(      --chip-dir DIR       the bench's chip files in DIR
      --bench-chip NAME    another chip in the bench's socket, or none
      --vcd FILE           with --bench: the socket's lines as a value-change dump
      --vcd-range A-B      dump only while the address is within A-B (hex)
  -q, --quiet              print nothing but failures
  -h, --help               this text
  -V, --version            the version

FILE is Intel HEX; "-" is standard input or output; a name ending .bin is a raw image.
Exit status: 0 done, 1 the chip failed the command, 2 wrong command line, address
window or file, 3 the port could not be had or is busy. self-test: 0 the board
answers, 1 it does not or gives wrong bits, 3 no access to the port.
)";

// Both programs' board self-test: no entry of the device layer, and no chip needed.
const Command kSelfTest{"self-test", "Testing Board", nullptr, FileUse::None, nullptr};

const Command& CommandOrRefuse(const Program& program, std::string_view typed) {
    for (const Command& command : program.commands)
        if (command.name == typed) return command;
    if (typed == kSelfTest.name) return kSelfTest;
    std::string known;
    for (const Command& command : program.commands) known += " " + std::string(command.name);
    known += " " + std::string(kSelfTest.name);
    throw UsageError{"unknown command '" + std::string(typed) + "'; the commands are:" + known};
}

enum class Stop { None, Help, Version };

struct Parsed {
    Choice choice;
    Stop stop = Stop::None;
};

Parsed Parse(const Program& program, int argc, char** argv) {
    Parsed parsed;
    Choice& choice = parsed.choice;
    std::optional<std::string> device, chipDir, benchChip, vcd, vcdRange;
    std::vector<std::string> words;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnd || arg == "-" || arg.empty() || arg[0] != '-') {
            words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        // --name, --name=value, -c, -cVALUE
        std::string name;
        std::optional<std::string> value;
        char letter = 0;
        if (arg.starts_with("--")) {
            const size_t equals = arg.find('=');
            name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            if (equals != std::string::npos) value = arg.substr(equals + 1);
        } else {
            letter = arg[1];
            if (arg.size() > 2) value = arg.substr(2);
        }
        struct Known {
            std::string_view name;
            char letter;
            bool takesValue;
            bool own;
        };
        std::vector<Known> known{{"device", 'd', true, false}, {"port", 'p', true, false},
                                 {"bench", 0, false, false},   {"chip-dir", 0, true, false},
                                 {"bench-chip", 0, true, false}, {"vcd", 0, true, false},
                                 {"vcd-range", 0, true, false},  {"quiet", 'q', false, false},
                                 {"help", 'h', false, false},  {"version", 'V', false, false}};
        for (const Option& option : program.options) known.push_back({option.name, option.letter, option.takesValue, true});
        const Known* match = nullptr;
        for (const Known& k : known)
            if ((letter && k.letter == letter) || (!letter && k.name == name)) match = &k;
        if (!match) throw UsageError{"unknown option '" + arg + "'"};
        if (match->takesValue && !value) {
            if (i + 1 >= argc) throw UsageError{"option '" + arg + "' needs a value"};
            value = argv[++i];
        }
        if (!match->takesValue && value) throw UsageError{"option '--" + std::string(match->name) + "' takes no value"};
        const std::string_view what = match->name;
        if (match->own) {
            if (std::string refused = program.takeOption(what, value.value_or("")); !refused.empty())
                throw UsageError{refused};
        } else if (what == "device") {
            device = *value;
        } else if (what == "port") {
            choice.portBase = PortOrRefuse(*value);
        } else if (what == "bench") {
            choice.bench = true;
        } else if (what == "chip-dir") {
            chipDir = *value;
        } else if (what == "bench-chip") {
            benchChip = *value;
        } else if (what == "vcd") {
            vcd = *value;
        } else if (what == "vcd-range") {
            vcdRange = *value;
        } else if (what == "quiet") {
            choice.quiet = true;
        } else if (what == "help") {
            parsed.stop = Stop::Help;
        } else if (what == "version") {
            parsed.stop = Stop::Version;
        }
    }
    if (parsed.stop != Stop::None) return parsed;

    if (words.empty()) throw UsageError{"no command"};
    choice.command = &CommandOrRefuse(program, words[0]);
    const size_t wanted = choice.command->file == FileUse::None ? 1 : 2;
    if (words.size() < wanted) throw UsageError{"'" + words[0] + "' needs a FILE"};
    if (words.size() > wanted) throw UsageError{"too many words: '" + words[wanted] + "'"};
    if (wanted == 2) choice.file = words[1];
    if (!device && choice.command != &kSelfTest)
        throw UsageError{"no device: name the chip with -d, e.g. -d " + std::string(program.chips[1].name)};
    if (device) choice.deviceType = ChipOrRefuse(program, *device);
    if ((chipDir || benchChip) && !choice.bench)
        throw UsageError{std::string(chipDir ? "--chip-dir" : "--bench-chip") + " is for the bench: add --bench"};
    if (chipDir) {
        if (chipDir->empty()) throw UsageError{"--chip-dir needs a folder"};
        choice.chipFolder = std::filesystem::absolute(*chipDir);
    } else if (choice.bench) {
        choice.chipFolder = programs::ChipFolder(std::string(program.simProgram));
    }
    if (benchChip) choice.socketType = Upper(*benchChip) == "NONE" ? -2 : ChipOrRefuse(program, *benchChip);
    if ((vcd || vcdRange) && !choice.bench)
        throw UsageError{std::string(vcd ? "--vcd" : "--vcd-range") + " is for the bench: add --bench"};
    if (vcdRange && !vcd) throw UsageError{"--vcd-range needs --vcd FILE"};
    if (vcd) {
        if (vcd->empty()) throw UsageError{"--vcd needs a file"};
        choice.vcdFile = *vcd;
    }
    if (vcdRange) {
        const size_t dash = vcdRange->find('-');
        const auto first = dash == std::string::npos ? std::nullopt : device::ParseHex(vcdRange->substr(0, dash));
        const auto last = dash == std::string::npos ? std::nullopt : device::ParseHex(vcdRange->substr(dash + 1));
        if (!first || !last || *first > *last || *last > 0x7FFF)
            throw UsageError{"--vcd-range takes FIRST-LAST, two hexadecimal addresses up to 7FFF, e.g. 100-10F"};
        choice.vcdFirst = *first;
        choice.vcdLast = *last;
    }

    return parsed;
}

std::string Seconds(uint64_t nanoseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(nanoseconds) / 1e9);
    return text;
}

}  // namespace

int Execute(const Program& program, const Choice& choice, shell::AppState& state, Board board, std::ostream& out,
            std::ostream& err) {
    const Command& command = *choice.command;
    state.DeviceType = choice.deviceType;
    state.DeviceSize = program.chips.at(choice.deviceType).size;
    state.PortBase = choice.portBase;
    state.EraseBuffer();
    if (command.file == FileUse::In) {
        if (const std::string loaded = LoadImage(choice.file, state); loaded != device::kResultOk) {
            err << program.name << ": " << choice.file << ": " << loaded << "\n";
            return kUsage;
        }
    }

    board.device.StartUpBoard();
    device::PortSession session(board.port, board.timer, board.board, [&] { board.device.BoardIdle(); },
                                [&] { board.device.RestAtStart(); });
    if (!command.entry) {
        const device::BoardReport report =
            device::RunBoardSelfTest(session, board.board, choice.portBase, [&] { board.device.BoardIdle(); });
        if (!report.Passed()) {
            err << report.text << "\n";
            return report.finding == device::BoardFinding::NoAccess ? kNoPort : kFailed;
        }
        if (!choice.quiet) out << report.text << "\n";
        return kDone;
    }
    const bool bar = !choice.quiet && isatty(STDERR_FILENO);
    const uint64_t startedAt = board.bench ? board.bench->Now() : 0;
    // The entry's text, or why the port could not be had.
    const auto run = [&](Entry entry, std::string_view activity, std::string& result) {
        std::optional<ProgressBar> shown;
        device::NoProgress silent;
        if (bar) shown.emplace(activity, state.DeviceSize);
        device::ProgressSink& progress = shown ? static_cast<device::ProgressSink&>(*shown) : silent;
        return session.Run(choice.portBase, [&] { result = (board.device.*entry)(progress); });
    };
    const auto benchTime = [&] {
        if (board.bench && !choice.quiet)
            out << "Time on real hardware, as the bench estimates it: " << Seconds(board.bench->Now() - startedAt)
                << "\n";
    };

    std::string result;
    // A wrong chip in the socket must not be erased.
    if (command.file == FileUse::In && command.name == "write" && program.refuseChip && !(program.force && *program.force)) {
        if (std::string refused = run(program.signature, "Signature", result); !refused.empty()) {
            err << refused << "\n";
            return kNoPort;
        }
        if (std::string wrong = program.refuseChip(result); !wrong.empty()) {
            err << wrong << "\n";
            benchTime();
            return kFailed;
        }
    }
    if (std::string refused = run(command.entry, command.activity, result); !refused.empty()) {
        err << refused << "\n";
        return kNoPort;
    }
    if (!command.success) {  // a report, good or bad
        out << result << "\n";
        benchTime();
        return kDone;
    }
    if (result != device::kResultOk) {
        err << result << "\n";
        benchTime();
        return kFailed;
    }
    if (command.file == FileUse::Out) {
        if (const std::string saved = SaveImage(choice.file, state); saved != device::kResultOk) {
            err << program.name << ": " << choice.file << ": " << saved << "\n";
            return kUsage;  // the chip was read; the file is what failed
        }
    }
    if (!choice.quiet) out << command.success() << "\n";
    benchTime();
    return kDone;
}

int Main(const Program& program, shell::AppState& state, int argc, char** argv) {
    Parsed parsed;
    try {
        parsed = Parse(program, argc, argv);
    } catch (const UsageError& error) {
        std::cerr << program.name << ": " << error.message << "\nTry '" << program.name << " --help'.\n";
        return kUsage;
    }
    if (parsed.stop == Stop::Help) {
        std::cout << program.usage << "      --bench              run on the virtual bench (" << program.simProgram
                  << "'s chips)\n" << kCommonUsage;
        return kDone;
    }
    if (parsed.stop == Stop::Version) {
        std::cout << program.name << " " << kVersion << "\n";
        return kDone;
    }
    const Choice& choice = parsed.choice;
    // With the data on standard output, everything else goes to standard error.
    std::ostream& out = choice.command->file == FileUse::Out && choice.file == "-" ? std::cerr : std::cout;
    if (std::string refused = program.settle(choice, choice.quiet ? nullptr : &std::cerr); !refused.empty()) {
        std::cerr << program.name << ": " << refused << "\n";
        return kUsage;
    }
    if (!choice.bench) {
        programs::RealBoard real;
        const auto device = program.device(real.board);
        return Execute(program, choice, state, {real.port, real.timer, real.board, *device}, out, std::cerr);
    }
    programs::VirtualBoard bench;
    const auto device = program.device(bench.bench.board);
    shell::AppState socket;
    socket.DeviceType = choice.socketType == -1 ? choice.deviceType
                        : choice.socketType == -2 ? uint16_t{0xFFFF}
                                                  : static_cast<uint16_t>(choice.socketType);
    const auto chips = program.virtualChips(socket, bench.bench.bench, *device, choice.chipFolder);
    const Board board{bench.bench.bench, bench.bench.timer, bench.bench.board, *chips, &bench.bench.bench};
    if (choice.vcdFile.empty()) return Execute(program, choice, state, board, out, std::cerr);

    // The socket's lines while the command runs, from the board's rest on.
    std::ofstream dump(choice.vcdFile, std::ios::binary | std::ios::trunc);
    if (!dump) {
        std::cerr << program.name << ": " << choice.vcdFile << ": cannot be written\n";
        return kUsage;
    }
    const std::string_view chip = choice.socketType == -2 ? std::string_view() : program.chips.at(socket.DeviceType).name;
    sim::VcdRecorder vcd(dump, chip);
    vcd.Range(choice.vcdFirst, choice.vcdLast);
    vcd.Start(bench.bench.bench.Lines(), bench.bench.bench.Now());
    bench.bench.bench.Watch(&vcd);
    const int status = Execute(program, choice, state, board, out, std::cerr);
    bench.bench.bench.Watch(nullptr);
    dump.close();
    if (!dump) {
        std::cerr << program.name << ": " << choice.vcdFile << ": cannot be written\n";
        return kUsage;
    }
    if (!choice.quiet) out << "Socket dump: " << choice.vcdFile << ", " << vcd.Bytes() << " bytes\n";
    return status;
}

}  // namespace cli
