// The settings file: a 255-byte record with the device type, one setting of
// the program's own, the port, the last folder and the current file's name.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace shell {

inline constexpr size_t kSettingsSize = 255;

struct SettingsRecord {
    uint8_t deviceType = 0;
    uint8_t second = 0;     // Corvina: ProgramBits; Quillon: WriteDelayIndex
    uint8_t portCode = 1;   // 1 to 3: LPT-1 to LPT-3
    std::string folder;     // ends with its separator
    std::string fileName;   // the name part only
};

// The record's bytes. A folder and name that do not fit together are not
// stored: the name goes first, then the folder too if it alone is too long.
std::array<uint8_t, kSettingsSize> EncodeSettings(const SettingsRecord& record);

// What the bytes hold; none when even the three setting bytes are missing.
// A text without its zero byte inside the bytes is taken as empty.
std::optional<SettingsRecord> DecodeSettings(std::span<const uint8_t> bytes);

// Where one program keeps its settings file: beside the executable in a build
// tree, in the user's configuration folder when installed or where the
// executable's folder cannot be written.
class SettingsLocation {
public:
    // Reads from and saves to the same folders, in their order.
    SettingsLocation(std::string fileName, std::vector<std::filesystem::path> folders)
        : fileName_(std::move(fileName)), folders_(folders), saveFolders_(std::move(folders)) {}
    // Reads from `folders`, saves only to `saveFolders`.
    SettingsLocation(std::string fileName, std::vector<std::filesystem::path> folders,
                     std::vector<std::filesystem::path> saveFolders)
        : fileName_(std::move(fileName)), folders_(std::move(folders)), saveFolders_(std::move(saveFolders)) {}

    // For the running executable and the user's configuration folder.
    static SettingsLocation ForProgram(const std::string& fileName, const std::string& configSubfolder);
    // An executable in a folder named `bin` is installed: it saves to the user's
    // folder only (root could write /usr/bin) and reads a file beside it second.
    // Elsewhere its own folder comes first when it can be written, else the user's.
    static SettingsLocation ForExecutableIn(const std::string& fileName, const std::filesystem::path& exeFolder,
                                            const std::filesystem::path& userFolder);

    // The bytes of the first of the folders that holds a settings file.
    std::optional<std::vector<uint8_t>> Load() const;
    // Replaces the file in the first save folder that takes it; false if none did.
    bool Save(std::span<const uint8_t> bytes) const;

    const std::vector<std::filesystem::path>& Folders() const { return folders_; }
    const std::vector<std::filesystem::path>& SaveFolders() const { return saveFolders_; }

private:
    std::string fileName_;
    std::vector<std::filesystem::path> folders_;
    std::vector<std::filesystem::path> saveFolders_;
};

}  // namespace shell
