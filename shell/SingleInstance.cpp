#include "shell/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace shell {

std::string InstanceLockPath(std::string_view name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/" + std::string(name) + ".lock";
    std::error_code ignored;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ignored);
    if (temp.empty()) temp = "/tmp";
    return (temp / (std::string(name) + "-" + std::to_string(getuid()) + ".lock")).string();
}

SingleInstance::SingleInstance(std::string_view name) {
    const std::string path = InstanceLockPath(name);
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    int rc;
    do rc = flock(fd_, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        outcome_ = Outcome::Acquired;
    } else {
        outcome_ = errno == EWOULDBLOCK ? Outcome::Taken : Outcome::Unavailable;
        close(fd_);
        fd_ = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
}

}  // namespace shell
