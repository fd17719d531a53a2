#include "device/CommandLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace device {
namespace {

// Who holds it, as its holder wrote it: "corvina-cli (pid 1234)".
std::string Holder(int fd) {
    char text[128] = {};
    const ssize_t got = pread(fd, text, sizeof text - 1, 0);
    std::string holder(text, got > 0 ? static_cast<size_t>(got) : 0);
    return holder.empty() ? "another program" : holder;
}

void WriteHolder(int fd) {
    const std::string me = std::string(program_invocation_short_name) + " (pid " + std::to_string(getpid()) + ")";
    if (ftruncate(fd, 0) == 0) [[maybe_unused]] const ssize_t ignored = pwrite(fd, me.data(), me.size(), 0);
}

}  // namespace

std::string CommandLockPath(const std::string& name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        return std::string(runtime) + "/" + name + ".lock";
    std::error_code ignored;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ignored);
    if (temp.empty()) temp = "/tmp";
    return (temp / (name + "-" + std::to_string(getuid()) + ".lock")).string();
}

CommandLock& CommandLock::operator=(CommandLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

CommandLock::~CommandLock() { Release(); }

void CommandLock::Release() {
    if (fd_ >= 0) close(fd_);  // closing frees the lock
    fd_ = -1;
}

std::string CommandLock::Take(const std::string& path, std::chrono::milliseconds patience) {
    Release();
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return {};  // without a lock file the command still runs, unguarded, as the windows do
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            close(fd);
            return {};
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            const std::string holder = Holder(fd);
            close(fd);
            return "The programmer is busy: " + holder + " is running a command on it.\nTry again when it has finished.";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    WriteHolder(fd);
    fd_ = fd;
    return {};
}

}  // namespace device
