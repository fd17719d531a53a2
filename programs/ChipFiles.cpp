#include "programs/ChipFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "shell/AtomicFile.h"

namespace programs {
namespace {

constexpr uint64_t kStateLimit = 4096;  // far more than a rest file needs

struct FileRead {
    bool missing = false;
    std::string error;  // why it cannot be read
    uint64_t size = 0;  // as found, also when it was too big to read
    std::string bytes;  // only when size <= limit
};

// A regular file's bytes, when it holds no more than `limit`. Opened without
// blocking, so that a pipe put in the file's place cannot hang the program.
FileRead ReadFile(const std::filesystem::path& path, uint64_t limit) {
    FileRead file;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)  // no such file, nor can there be one
            file.missing = true;
        else
            file.error = std::strerror(errno);
        return file;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        file.error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        file.error = "not a regular file";
    } else {
        file.size = static_cast<uint64_t>(info.st_size);
        char chunk[8192];
        while (file.size <= limit && file.bytes.size() <= limit) {
            const ssize_t got = read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) file.error = std::strerror(errno);
            if (got <= 0) break;
            file.bytes.append(chunk, static_cast<size_t>(got));
        }
        if (file.error.empty() && file.size <= limit) file.size = file.bytes.size();  // what was there when read
    }
    close(fd);
    return file;
}

std::string LeftAsItIs(const std::filesystem::path& path, const std::string& why) {
    return path.string() + " " + why + ".\nThe file was left as it is; the command did not run.";
}

std::string NotSaved(const std::string& chip, bool oneFile, const std::string& why) {
    return "The virtual " + chip + " could not be saved: " + why + ".\nIts change is lost: the next command finds the chip as " +
           (oneFile ? "its file holds it." : "its files hold it.");
}

}  // namespace

std::filesystem::path ChipFolder(const std::string& program) {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::filesystem::path(data) / program;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::filesystem::path(home) / ".local" / "share" / program;
    return {};
}

ChipFiles::ChipFiles(std::filesystem::path folder, std::string name, uint32_t size, RestFile rest)
    : folder_(std::move(folder)), name_(std::move(name)), size_(size), rest_(rest) {}

std::filesystem::path ChipFiles::Rest() const {
    if (rest_.extension.empty()) return {};
    return folder_ / (name_ + std::string(rest_.extension));
}

std::string ChipFiles::Load(std::vector<uint8_t>& memory, std::optional<std::string>& rest) const {
    // Never a file of that name in whatever folder the program was started from.
    if (folder_.empty())
        return "The virtual " + name_ + " has no folder to be kept in: neither XDG_DATA_HOME nor HOME names one.\n"
               "The command did not run.";
    const FileRead image = ReadFile(Image(), size_);
    if (!image.error.empty()) return LeftAsItIs(Image(), "cannot be read: " + image.error);
    if (!image.missing && image.size != size_)
        return LeftAsItIs(Image(), "holds " + std::to_string(image.size) + " bytes, but the virtual " + name_ +
                                       " has " + std::to_string(size_));
    FileRead text;
    if (!rest_.extension.empty()) {
        text = ReadFile(Rest(), kStateLimit);
        if (!text.error.empty()) return LeftAsItIs(Rest(), "cannot be read: " + text.error);
        if (!text.missing && text.size > kStateLimit) return RestNotTaken();
    }
    if (!image.missing) memory.assign(image.bytes.begin(), image.bytes.end());
    if (rest_.extension.empty() || text.missing)
        rest.reset();
    else
        rest = std::move(text.bytes);
    return {};
}

std::string ChipFiles::RestNotTaken() const {
    return LeftAsItIs(Rest(), "does not hold " + std::string(rest_.holds) + " of the virtual " + name_);
}

std::string ChipFiles::Save(const std::vector<uint8_t>* memory, const std::string* rest) const {
    if (!memory && !rest) return {};
    const bool oneFile = rest_.extension.empty();
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error)
        return NotSaved(name_, oneFile, "the folder " + folder_.string() + " cannot be made (" + error.message() + ")");
    if (memory) {
        const std::string_view bytes(reinterpret_cast<const char*>(memory->data()), memory->size());
        if (!shell::ReplaceFile(Image().string(), bytes)) return NotSaved(name_, oneFile, Image().string() + " cannot be written");
    }
    if (rest && !oneFile && !shell::ReplaceFile(Rest().string(), *rest))
        return NotSaved(name_, oneFile, Rest().string() + " cannot be written");
    return {};
}

}  // namespace programs
