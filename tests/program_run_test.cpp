// The built program, run from a folder of its own: what its settings file
// brings back, and what it writes when it is closed.
#include <gtest/gtest.h>

#include "Processes.h"
#include "TempFolder.h"
#include "shell/Settings.h"

namespace test {
namespace {

struct InstalledCorvina {
    RuntimeFolder runtime;
    TempFolder folder;
    std::string exe = folder / "corvina-sim";
    InstalledCorvina() {
        std::filesystem::copy_file(CORVINA_EXE, exe);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    }
    ~InstalledCorvina() { unsetenv("XDG_CONFIG_HOME"); }

    std::string Folder() const { return folder.path().string() + "/"; }
    void WriteSettings(const shell::SettingsRecord& record) {
        const auto bytes = shell::EncodeSettings(record);
        folder.Write("Corvina.set", std::string(bytes.begin(), bytes.end()));
    }
    std::optional<shell::SettingsRecord> Settings() const {
        const std::string bytes = TempFolder::Read(folder / "Corvina.set");
        EXPECT_EQ(bytes.size(), 255u);
        return shell::DecodeSettings(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    // Starts it, waits until it is up, and closes it as a logout would.
    void RunOnce() {
        const pid_t pid = Start(exe.c_str());
        ASSERT_TRUE(CatchesWithin(pid, SIGTERM, 15s)) << "corvina did not come up";
        kill(pid, SIGTERM);
        const auto code = EndsWithin(pid, 10s);
        if (!code) Kill(pid);
        EXPECT_EQ(code, 0);
    }
};

TEST(ProgramRun, AFirstRunWritesTheDefaultsBesideTheProgram) {
    InstalledCorvina corvina;
    corvina.RunOnce();
    const auto record = corvina.Settings();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->deviceType, 0);
    EXPECT_EQ(record->second, 0);
    EXPECT_EQ(record->portCode, 1);
    EXPECT_EQ(record->folder, "");
    EXPECT_EQ(record->fileName, "");
}

TEST(ProgramRun, TheLastFileComesBackAfterARestartUnlessItIsGone) {
    InstalledCorvina corvina;
    corvina.folder.Write("blink.hex", ":0100000042BD\r\n:00000001FF\r\n");
    corvina.WriteSettings({5, 0x03, 2, corvina.Folder(), "blink.hex"});
    corvina.RunOnce();
    auto record = corvina.Settings();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->deviceType, 5);
    EXPECT_EQ(record->second, 0x03);
    EXPECT_EQ(record->portCode, 2);
    EXPECT_EQ(record->folder, corvina.Folder());
    EXPECT_EQ(record->fileName, "blink.hex") << "the file was brought back and is still current";

    std::filesystem::remove(corvina.folder / "blink.hex");
    corvina.RunOnce();
    record = corvina.Settings();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->fileName, "") << "a file that is gone is not current any more";
    EXPECT_EQ(record->folder, corvina.Folder());
}

}  // namespace
}  // namespace test
