#include "shell/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "shell/PathText.h"

namespace shell {
namespace {

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = write(fd, contents.data(), contents.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        contents.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// The mode a newly created file would get, or the mode of the file replaced.
mode_t ModeFor(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view contents) {
    if (path.empty() || path.back() == '/') return false;
    std::string pattern = FolderPart(path) + "." + NamePart(path) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    const bool written = fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, contents) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (written && closed && rename(name.data(), path.c_str()) == 0) return true;
    unlink(name.data());
    return false;
}

}  // namespace shell
