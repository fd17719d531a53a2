#include "programs/ChipFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <system_error>

#include "shell/AtomicFile.h"

namespace programs {
namespace {

constexpr uint64_t kStateLimit = 4096;  // far more than a state file needs

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

std::string NotSaved(const std::string& chip, const std::string& why) {
    return "The virtual " + chip + " could not be saved: " + why +
           ".\nIts change is lost: the next command finds the chip as its files hold it.";
}

}  // namespace

std::filesystem::path ChipFolder(const std::string& program) {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::filesystem::path(data) / program;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::filesystem::path(home) / ".local" / "share" / program;
    return {};
}

std::string StateText(const sim::FlashChipState& state) {
    return "lock-bits " + std::to_string(state.lockBits) + "\nserial-fuse " +
           (state.serialFuseEnabled ? "enabled" : "disabled") + "\n";
}

bool TakeStateText(const std::string& text, const sim::FlashChip& chip, sim::FlashChipState& state) {
    std::istringstream lines(text);
    std::string line;
    int lockBits = -1, fuse = -1;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string key, value, extra;
        if (!(fields >> key)) continue;  // a blank line
        if (!(fields >> value) || fields >> extra) return false;
        if (key == "lock-bits" && lockBits < 0 && value.size() == 1 && value[0] >= '0' && value[0] <= '7')
            lockBits = value[0] - '0';
        else if (key == "serial-fuse" && fuse < 0 && (value == "enabled" || value == "disabled"))
            fuse = value == "enabled";
        else
            return false;
    }
    // Lock bits the part does not have cannot have been programmed.
    if (lockBits < 0 || fuse < 0 || (lockBits & ~chip.Family().lockBitsPresent)) return false;
    state.lockBits = static_cast<uint8_t>(lockBits);
    state.serialFuseEnabled = fuse;
    return true;
}

ChipFiles::ChipFiles(std::filesystem::path folder, const sim::FlashChip& chip)
    : folder_(std::move(folder)), name_(chip.Name()), chip_(chip) {}

std::string ChipFiles::Load(sim::FlashChipState& state) const {
    // Never a file of that name in whatever folder the program was started from.
    if (folder_.empty())
        return "The virtual " + name_ + " has no folder to be kept in: neither XDG_DATA_HOME nor HOME names one.\n"
               "The command did not run.";
    sim::FlashChipState loaded = state;
    const FileRead image = ReadFile(Image(), chip_.Size());
    if (!image.error.empty()) return LeftAsItIs(Image(), "cannot be read: " + image.error);
    if (!image.missing) {
        if (image.size != chip_.Size())
            return LeftAsItIs(Image(), "holds " + std::to_string(image.size) + " bytes, but the virtual " + name_ +
                                           " has " + std::to_string(chip_.Size()));
        loaded.memory.assign(image.bytes.begin(), image.bytes.end());
    }
    const FileRead rest = ReadFile(StateFile(), kStateLimit);
    if (!rest.error.empty()) return LeftAsItIs(StateFile(), "cannot be read: " + rest.error);
    if (!rest.missing && (rest.size > kStateLimit || !TakeStateText(rest.bytes, chip_, loaded)))
        return LeftAsItIs(StateFile(), "does not hold the lock bits and fuse of the virtual " + name_);
    state = std::move(loaded);
    return {};
}

std::string ChipFiles::Save(const sim::FlashChipState& saved, const sim::FlashChipState& now) const {
    const bool memory = now.memory != saved.memory;
    const bool rest = now.lockBits != saved.lockBits || now.serialFuseEnabled != saved.serialFuseEnabled;
    if (!memory && !rest) return {};
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) return NotSaved(name_, "the folder " + folder_.string() + " cannot be made (" + error.message() + ")");
    const std::string_view bytes(reinterpret_cast<const char*>(now.memory.data()), now.memory.size());
    if (memory && !shell::ReplaceFile(Image().string(), bytes)) return NotSaved(name_, Image().string() + " cannot be written");
    if (rest && !shell::ReplaceFile(StateFile().string(), StateText(now)))
        return NotSaved(name_, StateFile().string() + " cannot be written");
    return {};
}

}  // namespace programs
