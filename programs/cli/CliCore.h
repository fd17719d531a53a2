// What corvina-cli and quillon-cli share: the command line, the file in and
// out, the progress bar, and one device command run through the port session
// on the parallel port or the bench, ending in an exit status. Each program
// describes its commands, chips and own options; this runs them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device/Progress.h"
#include "io/PortIo.h"
#include "io/Timer.h"
#include "io/Unitio.h"
#include "shell/AppState.h"
#include "shell/DeviceLayer.h"
#include "sim/Bench.h"

namespace cli {

enum ExitStatus : int {
    kDone = 0,     // the command ran and its outcome was good
    kFailed = 1,   // the chip failed it, or a wrong chip was refused
    kUsage = 2,    // the command line, the address window or a file was wrong
    kNoPort = 3,   // the port could not be had: nothing was touched, no file written
};

enum class FileUse { None, In, Out };

using Entry = std::string (shell::DeviceLayer::*)(device::ProgressSink&);

struct Command {
    std::string_view name;      // as typed: "blank-check"
    std::string_view activity;  // the progress bar's word: "Blank Checking"
    Entry entry;
    FileUse file;
    // The window's text for a good outcome; none for a command whose outcome is its report.
    std::function<std::string()> success;
};

struct Chip {
    std::string_view name;  // the catalogue's, without the maker's prefix
    uint16_t size;
};

// One of the program's own options, --name or -c.
struct Option {
    std::string_view name;
    char letter = 0;
    bool takesValue = false;
};

// What the command line chose.
struct Choice {
    uint16_t deviceType = 0;
    uint16_t portBase = 0x378;
    bool bench = false;
    std::filesystem::path chipFolder;
    int socketType = -1;  // the chip seated on the bench: -1 for the chosen device, -2 for none
    bool quiet = false;
    std::string vcdFile;                 // with the bench: the socket's lines as a value-change dump
    uint32_t vcdFirst = 0, vcdLast = 0x7FFF;  // only while the address is in this range
    const Command* command = nullptr;
    std::string file;
};

struct Program {
    std::string_view name;   // "corvina-cli"
    std::string_view usage;  // the --help text up to its own options; the shared ones follow
    std::string_view simProgram;  // whose chip files the bench uses: "corvina-sim"
    std::vector<Command> commands;
    std::vector<Chip> chips;  // by device type
    std::vector<Option> options;
    // Takes one of `options` with its value: empty when taken, else why not.
    std::function<std::string(std::string_view name, std::string_view value)> takeOption;
    // Settles the program's options for the chosen device and command, once all
    // are known: empty when they hold, else why not. Corrections are told to `notes`.
    std::function<std::string(const Choice&, std::ostream* notes)> settle;
    // Before a write: the signature report's verdict on the chip in the
    // socket, empty when it may be written; none for a program that does not check.
    std::function<std::string(const std::string& report)> refuseChip;
    Entry signature = nullptr;
    bool* force = nullptr;  // set by the program's --force
    // The device layer over a board, and the bench's persisted chips around it.
    std::function<std::unique_ptr<shell::DeviceLayer>(io::Board&)> device;
    std::function<std::unique_ptr<shell::DeviceLayer>(const shell::AppState& socket, sim::Bench&, shell::DeviceLayer&,
                                                      std::filesystem::path folder)>
        virtualChips;
};

// The board a command runs on; `bench` when it is the virtual one.
struct Board {
    io::PortIo& port;
    io::Timer& timer;
    io::Board& board;
    shell::DeviceLayer& device;
    sim::Bench* bench = nullptr;
};

// The whole program: parses `argv`, runs the command, returns the exit status.
int Main(const Program& program, shell::AppState& state, int argc, char** argv);

// The command of `choice` on `board`, the options already taken: for Main, and for tests with a board of their own.
int Execute(const Program& program, const Choice& choice, shell::AppState& state, Board board, std::ostream& out,
            std::ostream& err);

}  // namespace cli
