// One program of the pair at a time, across processes and crashes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <optional>
#include <string>
#include <thread>

#include "shell/SingleInstance.h"

extern char** environ;

namespace test {
namespace {

using namespace std::chrono_literals;
using shell::SingleInstance;

// A private runtime folder, so that nothing outside the test holds the name.
struct RuntimeFolder {
    std::filesystem::path path;
    std::optional<std::string> saved;
    RuntimeFolder() {
        char pattern[] = "/tmp/cq-runtime-XXXXXX";
        path = mkdtemp(pattern);
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved = old;
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~RuntimeFolder() {
        if (saved)
            setenv("XDG_RUNTIME_DIR", saved->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(path);
    }
};

TEST(SingleInstance, LockFileLivesInTheRuntimeFolderOrPerUserInTemp) {
    RuntimeFolder runtime;
    EXPECT_EQ(shell::InstanceLockPath("Corvina"), (runtime.path / "Corvina.lock").string());
    unsetenv("XDG_RUNTIME_DIR");
    const std::string path = shell::InstanceLockPath("Corvina");
    EXPECT_EQ(std::filesystem::path(path).filename(), "Corvina-" + std::to_string(getuid()) + ".lock");
}

TEST(SingleInstance, TheNameIsHeldUntilItsHolderLetsGo) {
    RuntimeFolder runtime;
    auto first = std::make_unique<SingleInstance>("Corvina");
    ASSERT_EQ(first->outcome(), SingleInstance::Outcome::Acquired);
    EXPECT_EQ(SingleInstance("Corvina").outcome(), SingleInstance::Outcome::Taken);
    first.reset();
    EXPECT_EQ(SingleInstance("Corvina").outcome(), SingleInstance::Outcome::Acquired);
}

pid_t Start(const char* program) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pid_t pid = -1;
    char* argv[] = {const_cast<char*>(program), nullptr};
    EXPECT_EQ(posix_spawn(&pid, program, nullptr, nullptr, argv, environ), 0) << program;
    return pid;
}

// The exit code if the process ends within `limit`, none if it still runs.
std::optional<int> EndsWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

// Whether process `pid` holds the name, read from the kernel's lock table so
// that looking never takes the lock away from a program that is starting.
bool Holds(pid_t pid) {
    struct stat info {};
    if (stat(shell::InstanceLockPath("Corvina").c_str(), &info) != 0) return false;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, owner, device;
        fields >> number >> kind >> mode >> access >> owner >> device;
        const auto inode = device.substr(device.rfind(':') + 1);
        if (kind == "FLOCK" && owner == std::to_string(pid) && inode == std::to_string(info.st_ino)) return true;
    }
    return false;
}

bool HoldsWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (Holds(pid)) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

void Kill(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST(SingleInstance, ASecondProgramOfThePairEndsAtOnceAndACrashFreesTheName) {
    RuntimeFolder runtime;
    const pid_t first = Start(CORVINA_EXE);
    ASSERT_TRUE(HoldsWithin(first, 10s)) << "corvina did not take the name";

    for (const char* second : {QUILLON_EXE, CORVINA_EXE}) {
        const pid_t pid = Start(second);
        const auto code = EndsWithin(pid, 1s);
        if (!code) Kill(pid);
        EXPECT_EQ(code, 0) << second << " should end at once with code 0";
    }
    EXPECT_FALSE(EndsWithin(first, 0ms)) << "the first one must go on";

    Kill(first);  // as kill -9: no clean-up of its own
    const pid_t next = Start(QUILLON_EXE);
    EXPECT_TRUE(HoldsWithin(next, 10s)) << "quillon should start once the holder is gone";
    EXPECT_FALSE(EndsWithin(next, 200ms));
    Kill(next);
}

}  // namespace
}  // namespace test
