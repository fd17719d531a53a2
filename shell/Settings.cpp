#include "shell/Settings.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "shell/AtomicFile.h"

namespace shell {
namespace {

constexpr size_t kTextRoom = kSettingsSize - 3 - 2;  // both texts with their zero bytes

// The text from `at` to its zero byte, moving `at` past it; empty when the
// zero byte is missing, and then `at` goes to the end.
std::string TakeText(std::span<const uint8_t> bytes, size_t& at) {
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at, bytes.size()));
    const auto zero = std::find(begin, bytes.end(), uint8_t{0});
    if (zero == bytes.end()) {
        at = bytes.size();
        return {};
    }
    at = static_cast<size_t>(zero - bytes.begin()) + 1;
    return std::string(begin, zero);
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

std::filesystem::path UserConfigFolder(const std::string& subfolder) {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return std::filesystem::path(config) / subfolder;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::filesystem::path(home) / ".config" / subfolder;
    return {};
}

}  // namespace

std::array<uint8_t, kSettingsSize> EncodeSettings(const SettingsRecord& record) {
    std::array<uint8_t, kSettingsSize> bytes{};
    bytes[0] = record.deviceType;
    bytes[1] = record.second;
    bytes[2] = record.portCode;
    std::string folder = record.folder;
    std::string name = record.fileName;
    if (folder.size() + name.size() > kTextRoom) name.clear();  // never a cut, wrong path
    if (folder.size() > kTextRoom) folder.clear();
    size_t at = 3;
    for (const std::string* text : {&folder, &name}) {
        std::copy(text->begin(), text->end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        at += text->size() + 1;  // the zero byte is already there
    }
    return bytes;
}

std::optional<SettingsRecord> DecodeSettings(std::span<const uint8_t> bytes) {
    if (bytes.size() < 3) return std::nullopt;
    bytes = bytes.first(std::min(bytes.size(), kSettingsSize));
    SettingsRecord record{bytes[0], bytes[1], bytes[2], {}, {}};
    size_t at = 3;
    record.folder = TakeText(bytes, at);
    record.fileName = TakeText(bytes, at);
    return record;
}

SettingsLocation SettingsLocation::ForProgram(const std::string& fileName, const std::string& configSubfolder) {
    return ForExecutableIn(fileName, ExecutableFolder(), UserConfigFolder(configSubfolder));
}

SettingsLocation SettingsLocation::ForExecutableIn(const std::string& fileName, const std::filesystem::path& exeFolder,
                                                   const std::filesystem::path& userFolder) {
    const bool installed = exeFolder.filename() == "bin";
    const bool besideWritable = !exeFolder.empty() && access(exeFolder.c_str(), W_OK) == 0;
    std::vector<std::filesystem::path> folders;
    for (const auto& folder : besideWritable && !installed ? std::array{exeFolder, userFolder}
                                                           : std::array{userFolder, exeFolder})
        if (!folder.empty()) folders.push_back(folder);
    if (!installed) return SettingsLocation(fileName, folders);
    std::vector<std::filesystem::path> saveFolders;
    if (!userFolder.empty()) saveFolders.push_back(userFolder);
    return SettingsLocation(fileName, folders, saveFolders);
}

std::optional<std::vector<uint8_t>> SettingsLocation::Load() const {
    for (const auto& folder : folders_) {
        const auto path = folder / fileName_;
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) continue;
        std::ifstream in(path, std::ios::binary);
        if (!in) continue;
        std::vector<uint8_t> bytes(kSettingsSize);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<size_t>(in.gcount()));
        return bytes;
    }
    return std::nullopt;
}

bool SettingsLocation::Save(std::span<const uint8_t> bytes) const {
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (const auto& folder : saveFolders_) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (ReplaceFile((folder / fileName_).string(), contents)) return true;
    }
    return false;
}

}  // namespace shell
