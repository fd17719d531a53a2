// The command line's core on a port that cannot be had: a real machine's
// port cannot be refused safely in a test (as root, direct I/O may succeed),
// so the refusal comes from a port of the test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TempFolder.h"
#include "io/Timer.h"
#include "programs/cli/CliCore.h"
#include "shell/DeviceLayer.h"
#include "sim/BenchBoard.h"

namespace test {
namespace {

class RefusingPort : public io::PortIo {
public:
    std::string Claim(uint16_t) override { return "No access to the port at 0378"; }
    void Release() override {}
    void PortOut(uint16_t, uint16_t) override { ++accesses; }
    uint16_t PortIn(uint16_t) override { return ++accesses, 0xFF; }
    bool HasTimerPorts() const override { return false; }
    int accesses = 0;
};

struct RefusedBoard {
    RefusingPort port;
    io::SteadyClock clock;
    io::Timer timer{port, clock};
    io::Board board{port, timer};
};

class CountingDevice : public shell::DeviceLayer {
public:
    std::string BlankCheckDevice(device::ProgressSink&) override { return ++entries, "OK"; }
    std::string ReadDevice(device::ProgressSink&) override { return ++entries, "OK"; }
    std::string WriteDevice(device::ProgressSink&) override { return ++entries, "OK"; }
    std::string VerifyDevice(device::ProgressSink&) override { return ++entries, "OK"; }
    void BoardIdle() override { ++entries; }
    int entries = 0;
};

TEST(CliCore, NoPortEndsWithStatus3AndWritesNoFile) {
    TempFolder folder;
    cli::Program program;
    program.name = "test-cli";
    program.chips = {{"T1", 0x100}};
    program.commands = {{"read", "Reading", &shell::DeviceLayer::ReadDevice, cli::FileUse::Out, [] { return std::string("done"); }}};
    RefusedBoard refused;
    RefusingPort& port = refused.port;
    CountingDevice device;
    shell::AppState state;
    cli::Choice choice;
    choice.command = &program.commands[0];
    choice.file = folder / "out.hex";
    choice.quiet = true;
    std::ostringstream out, err;
    const int status = cli::Execute(program, choice, state, {port, refused.timer, refused.board, device}, out, err);
    EXPECT_EQ(status, cli::kNoPort);
    EXPECT_EQ(err.str(), "No access to the port at 0378\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(device.entries, 0) << "nothing ran";
    EXPECT_EQ(port.accesses, 0) << "the board was not touched";
    EXPECT_FALSE(std::filesystem::exists(choice.file));
}

// The self-test's exit status: 0 for a board that answers, 1 for one that
// does not, 3 without the port; the report goes to standard error on failure.
TEST(CliCore, SelfTestExitStatus) {
    cli::Program program;
    program.name = "test-cli";
    program.chips = {{"T1", 0x100}};
    const cli::Command selfTest{"self-test", "Testing Board", nullptr, cli::FileUse::None, nullptr};
    cli::Choice choice;
    choice.command = &selfTest;
    for (const int stuck : {-1, 0, 1}) {
        sim::BenchBoard b;
        if (stuck >= 0) b.bench.StatusBit7(stuck == 1);
        CountingDevice device;
        shell::AppState state;
        std::ostringstream out, err;
        const int status = cli::Execute(program, choice, state, {b.bench, b.timer, b.board, device}, out, err);
        EXPECT_EQ(status, stuck < 0 ? cli::kDone : cli::kFailed);
        EXPECT_TRUE((stuck < 0 ? out : err).str().starts_with(stuck < 0 ? "The board answers" : "The board does not answer"))
            << out.str() << err.str();
        EXPECT_EQ(device.entries, 3) << "the first rest, and one before and after the test";
    }
    RefusedBoard refused;
    RefusingPort& port = refused.port;
    CountingDevice device;
    shell::AppState state;
    std::ostringstream out, err;
    EXPECT_EQ(cli::Execute(program, choice, state, {port, refused.timer, refused.board, device}, out, err), cli::kNoPort);
    EXPECT_EQ(err.str(), "No access to the port at 0378\n");
    EXPECT_EQ(port.accesses, 0);
}

}  // namespace
}  // namespace test
