// Held while one device command runs, so that two programs (two windows, a
// window and a command line, two command lines) never drive one port, or one
// set of virtual chips, at once. A lock file with flock: the kernel frees it
// when its holder ends, however it ends.
#pragma once

#include <chrono>
#include <string>

namespace device {

// Where the lock named `name` lives: the user's runtime folder, else the
// temporary folder.
std::string CommandLockPath(const std::string& name);

class CommandLock {
public:
    CommandLock() = default;
    CommandLock(CommandLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    CommandLock& operator=(CommandLock&& other) noexcept;
    ~CommandLock();

    // Takes the lock at `path`, waiting up to `patience` for another holder
    // to finish. Empty when it is held, else why not, naming the holder.
    std::string Take(const std::string& path, std::chrono::milliseconds patience = std::chrono::milliseconds(2000));
    bool Held() const { return fd_ >= 0; }
    void Release();

private:
    int fd_ = -1;
};

}  // namespace device
