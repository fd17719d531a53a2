// Starting the built programs in a test and watching them.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "shell/SingleInstance.h"

extern char** environ;

namespace test {

using namespace std::chrono_literals;

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

inline pid_t Start(const char* program) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pid_t pid = -1;
    char* argv[] = {const_cast<char*>(program), nullptr};
    EXPECT_EQ(posix_spawn(&pid, program, nullptr, nullptr, argv, environ), 0) << program;
    return pid;
}

// The exit code if the process ends within `limit`, none if it still runs.
inline std::optional<int> EndsWithin(pid_t pid, std::chrono::milliseconds limit) {
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
inline bool Holds(pid_t pid) {
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

inline bool HoldsWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (Holds(pid)) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

inline void Kill(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}


// Whether process `pid` has its handler for `signal` in place yet.
inline bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("SigCgt:")) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

inline bool CatchesWithin(pid_t pid, int signal, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (Catches(pid, signal)) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

}  // namespace test
