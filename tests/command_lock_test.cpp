// Two programs never run a command on one port, or one folder of virtual
// chips, at once: the second waits a moment, then says who holds it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "TempFolder.h"
#include "device/CommandLock.h"
#include "device/PortSession.h"
#include "sim/BenchBoard.h"

namespace test {
namespace {

using std::chrono::milliseconds;

// The locks of this test live in a runtime folder of its own.
struct Runtime {
    TempFolder folder;
    Runtime() { setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1); }
    ~Runtime() { unsetenv("XDG_RUNTIME_DIR"); }
};

TEST(CommandLock, ASecondHolderWaitsThenSaysWhoHoldsIt) {
    Runtime runtime;
    const std::string path = device::CommandLockPath("port-0x378");
    EXPECT_EQ(path, runtime.folder / "port-0x378.lock");
    device::CommandLock first, second;
    ASSERT_EQ(first.Take(path), "");
    const auto started = std::chrono::steady_clock::now();
    const std::string busy = second.Take(path, milliseconds(100));
    EXPECT_GE(std::chrono::steady_clock::now() - started, milliseconds(100)) << "it waited";
    EXPECT_NE(busy.find("logic_tests (pid " + std::to_string(getpid()) + ")"), std::string::npos) << busy;
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_EQ(second.Take(path, milliseconds(0)), "");

    // A holder that finishes within the wait lets the next one go on.
    std::thread finisher([&] {
        std::this_thread::sleep_for(milliseconds(50));
        second.Release();
    });
    EXPECT_EQ(first.Take(path, milliseconds(2000)), "");
    finisher.join();
}

TEST(CommandLock, AHolderThatDiesFreesTheLock) {
    Runtime runtime;
    const std::string path = device::CommandLockPath("port-0x278");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        device::CommandLock held;
        held.Take(path);
        [[maybe_unused]] const ssize_t ignored = write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    device::CommandLock lock;
    const std::string busy = lock.Take(path, milliseconds(50));
    EXPECT_NE(busy.find("(pid " + std::to_string(child) + ")"), std::string::npos) << busy;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(lock.Take(path, milliseconds(0)), "") << "the kernel freed it";
    close(ready[0]);
    close(ready[1]);
}

// A port other programs reach: the bench, named as a real port would be.
struct SharedPort : sim::Bench {
    std::string LockName(uint16_t base) const override { return "port-" + std::to_string(base); }
};

TEST(CommandLock, ACommandOnABusyPortTouchesNothing) {
    Runtime runtime;
    SharedPort port;
    io::Timer timer(port, port);
    io::Board board(port, timer);
    int rests = 0, runs = 0;
    device::PortSession session(port, timer, board, [&] { ++rests; });
    device::CommandLock other;
    ASSERT_EQ(other.Take(device::CommandLockPath("port-888")), "");
    session.Prepare(0x378);
    EXPECT_EQ(rests, 0) << "the start-up leaves a busy port alone";
    const std::string busy = session.Run(0x378, [&] { ++runs; });
    EXPECT_NE(busy.find("busy"), std::string::npos) << busy;
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(port.AccessCount(), 0u);
    other.Release();
    EXPECT_EQ(session.Run(0x378, [&] { ++runs; }), "");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(rests, 1) << "rested first, as the start-up could not";
}

}  // namespace
}  // namespace test
