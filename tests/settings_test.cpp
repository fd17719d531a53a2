// The settings file: its bytes, damaged records, where it lives, and what a
// start brings back.
#include <gtest/gtest.h>

#include "Programs.h"
#include "shell/Settings.h"

namespace test {
namespace {

using shell::DecodeSettings;
using shell::EncodeSettings;
using shell::SettingsRecord;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(SettingsRecordBytes, FolderThenNameEachWithItsZeroByte) {
    const auto bytes = EncodeSettings({7, 0x0B, 2, "/a/b/c/", "blink.hx"});
    EXPECT_EQ(bytes.size(), 255u);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(bytes[1], 0x0B);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 10), "/a/b/c/");
    EXPECT_EQ(bytes[10], 0);
    EXPECT_EQ(std::string(bytes.begin() + 11, bytes.begin() + 19), "blink.hx");
    EXPECT_EQ(bytes[19], 0);
}

TEST(SettingsRecordBytes, NoCurrentFileGivesTwoZeroBytesAfterTheFolder) {
    const auto bytes = EncodeSettings({0, 0, 1, "/w/", ""});
    EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 6), "/w/");
    EXPECT_EQ(bytes[6], 0);
    EXPECT_EQ(bytes[7], 0);
    const auto back = DecodeSettings(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->folder, "/w/");
    EXPECT_EQ(back->fileName, "");
}

TEST(SettingsRecordBytes, PathsTooLongAreLeftOutNeverCut) {
    struct Case {
        size_t folder, name;
        bool keepsFolder, keepsName;
    };
    for (const Case& c : {Case{200, 50, true, true}, Case{200, 51, true, false}, Case{250, 0, true, false},
                          Case{251, 3, false, false}}) {
        const std::string folder = "/" + std::string(c.folder - 2, 'f') + "/";
        const std::string name(c.name, 'n');
        const auto back = DecodeSettings(EncodeSettings({1, 2, 3, folder, name}));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->folder, c.keepsFolder ? folder : "") << c.folder << "+" << c.name;
        EXPECT_EQ(back->fileName, c.keepsName ? name : "") << c.folder << "+" << c.name;
    }
}

TEST(SettingsRecordBytes, DamagedRecordsAreNeverReadPastTheirEnd) {
    EXPECT_FALSE(DecodeSettings(Bytes("")));
    EXPECT_FALSE(DecodeSettings(Bytes("\x01\x02")));
    struct Case {
        std::string bytes;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {std::string("\x01\x02\x03", 3), "", ""},
        {std::string("\x01\x02\x03/a/", 6), "", ""},                 // folder without its zero byte
        {std::string("\x01\x02\x03/a/\0x.h", 10), "/a/", ""},        // name without its zero byte
        {std::string("\x01\x02\x03/a/\0x.hex\0", 13), "/a/", "x.hex"}, // short, but whole
        {std::string("\x01\x02\x03") + std::string(300, 'a'), "", ""},  // no zero byte in the record
    };
    for (const Case& c : cases) {
        const auto record = DecodeSettings(Bytes(c.bytes));
        ASSERT_TRUE(record) << c.bytes.size();
        EXPECT_EQ(record->folder, c.folder) << c.bytes.size();
        EXPECT_EQ(record->fileName, c.name) << c.bytes.size();
    }
}

TEST(SettingsLocation, ReadsTheFirstFolderThatHoldsOneAndSavesWhereItCan) {
    TempFolder root;
    const std::string blocked = root.Write("plain-file", "");  // a folder cannot be made below a file
    std::filesystem::create_directory(root.path() / "user");
    const shell::SettingsLocation location("X.set", {blocked + "/beside", root.path() / "user"});
    EXPECT_FALSE(location.Load());
    const std::vector<uint8_t> bytes(255, 7);
    EXPECT_TRUE(location.Save(bytes));
    EXPECT_EQ(TempFolder::Read(root / "user/X.set"), std::string(255, 7));
    EXPECT_EQ(location.Load(), bytes);

    const shell::SettingsLocation nowhere("X.set", {blocked + "/a", blocked + "/b"});
    EXPECT_FALSE(nowhere.Save(bytes));
}

TEST(SettingsLocation, ABuildTreeSavesBesideTheProgramAnInstalledOneInTheUsersFolderOnly) {
    TempFolder root;
    std::filesystem::create_directories(root.path() / "build/programs");
    std::filesystem::create_directories(root.path() / "usr/bin");
    const std::filesystem::path user = root.path() / "config/corvina";
    using Folders = std::vector<std::filesystem::path>;
    struct Case {
        std::string exeFolder;  // below root; writable when it exists, as even root cannot write a missing one
        bool withUser;
        Folders reads, saves;   // below root
    };
    const std::vector<Case> cases{
        {"build/programs", true, {"build/programs", "config/corvina"}, {"build/programs", "config/corvina"}},
        {"gone/programs", true, {"config/corvina", "gone/programs"}, {"config/corvina", "gone/programs"}},
        {"usr/bin", true, {"config/corvina", "usr/bin"}, {"config/corvina"}},  // writable, but installed
        {"gone/bin", true, {"config/corvina", "gone/bin"}, {"config/corvina"}},
        {"usr/bin", false, {"usr/bin"}, {}},  // no home: nowhere to save rather than into bin
    };
    const auto below = [&](const Folders& folders) {
        Folders paths;
        for (const auto& folder : folders) paths.push_back(root.path() / folder);
        return paths;
    };
    for (const Case& c : cases) {
        const auto location = shell::SettingsLocation::ForExecutableIn("Corvina.set", root.path() / c.exeFolder,
                                                                       c.withUser ? user : std::filesystem::path());
        EXPECT_EQ(location.Folders(), below(c.reads)) << c.exeFolder << " " << c.withUser;
        EXPECT_EQ(location.SaveFolders(), below(c.saves)) << c.exeFolder << " " << c.withUser;
    }

    // An installed program reads an old file beside it, and saves the new one to the user's folder.
    root.Write("usr/bin/Corvina.set", std::string(255, 1));
    const auto installed = shell::SettingsLocation::ForExecutableIn("Corvina.set", root.path() / "usr/bin", user);
    EXPECT_EQ(installed.Load(), std::vector<uint8_t>(255, 1));
    EXPECT_TRUE(installed.Save(std::vector<uint8_t>(255, 2)));
    EXPECT_EQ(TempFolder::Read(user / "Corvina.set"), std::string(255, 2));
    EXPECT_EQ(TempFolder::Read(root / "usr/bin/Corvina.set"), std::string(255, 1));
    EXPECT_EQ(installed.Load(), std::vector<uint8_t>(255, 2));
    EXPECT_FALSE(shell::SettingsLocation::ForExecutableIn("Corvina.set", root.path() / "usr/bin", {})
                     .Save(std::vector<uint8_t>(255, 3)));
    EXPECT_EQ(TempFolder::Read(root / "usr/bin/Corvina.set"), std::string(255, 1));
}

// A start with a settings file written beforehand.
template <class P>
void StartWith(P& program, const std::vector<uint8_t>& bytes) {
    std::ofstream(program.folder / "Program.set", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    program.logic.FormCreate();
}

std::vector<uint8_t> Record(const SettingsRecord& record) {
    const auto bytes = EncodeSettings(record);
    return {bytes.begin(), bytes.end()};
}

TEST(StartUp, FirstRunKeepsTheDefaults) {
    Corvina c;
    EXPECT_EQ(c.state.DeviceType, 0);
    EXPECT_EQ(c.state.PortBase, 0x378);
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.state.LastFolder, "");
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
    c.logic.cmdOpenFileClick();
    EXPECT_EQ(c.view.dialogFolders, std::vector<std::string>{""});  // the dialog's own default folder
}

TEST(StartUp, BringsBackEverySettingAndTheLastFile) {
    Corvina c(false);
    const std::string folder = c.folder.path().string() + "/";
    c.folder.Write("last.hex", ":0100100042AD\r\n:00000001FF\r\n");
    StartWith(c, Record({8, 0x0B, 3, folder, "last.hex"}));
    EXPECT_EQ(c.state.DeviceType, 8);
    EXPECT_EQ(c.view.ItemIndex(Ctl::cboType), 8);
    EXPECT_EQ(c.state.ProgramBits, 0x0B);
    EXPECT_TRUE(c.view.Checked(Ctl::chkISP));
    EXPECT_EQ(c.state.PortBase, 0x3BC);
    EXPECT_TRUE(c.view.Checked(Ctl::mnuPortLpt3));
    EXPECT_EQ(c.state.HexFileName, folder + "last.hex");
    EXPECT_EQ(c.state.LastFolder, folder);
    EXPECT_EQ(c.state.DataBuffer[0x10], 0x42);
    EXPECT_EQ(c.view.Cell(1, 2), "42");
    EXPECT_EQ(c.view.panels[0], " Hex File :  LAST.HEX");
}

TEST(StartUp, The89C51RCComesFromTheSettingsOnly) {
    Corvina c(false);
    StartWith(c, Record({10, 0, 1, "", ""}));
    EXPECT_EQ(c.state.DeviceType, 10);
    EXPECT_EQ(c.state.DeviceSize, 0x8000);
    EXPECT_EQ(c.view.ItemIndex(Ctl::cboType), -1);
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "8000");
}

TEST(StartUp, ValuesOutOfRangeKeepTheDefaults) {
    Corvina c(false);
    StartWith(c, Record({11, 0xF3, 4, "", ""}));
    EXPECT_EQ(c.state.DeviceType, 0);
    EXPECT_EQ(c.state.ProgramBits, 0x03);  // only the four program bits
    EXPECT_EQ(c.state.PortBase, 0x378);

    Quillon q(false);
    StartWith(q, Record({8, 5, 0, "", ""}));
    EXPECT_EQ(q.state.DeviceType, 2);
    EXPECT_EQ(q.state.WriteDelayIndex, 4);
    EXPECT_EQ(q.view.ItemIndex(Ctl::cboWriteDelay), 4);
}

TEST(StartUp, ARestoredTypeKeepsTheRestoredDelay) {
    Quillon q(false);
    StartWith(q, Record({5, 0, 2, "", ""}));  // a 2816 with "   1  msec"
    EXPECT_EQ(q.state.DeviceType, 5);
    EXPECT_EQ(q.view.ItemIndex(Ctl::cboWriteDelay), 0);
    EXPECT_EQ(q.state.WriteDelayTicks, 1193);
    EXPECT_EQ(q.state.PortBase, 0x278);
}

TEST(StartUp, AFileThatIsGoneOrBrokenOrNotAWholePath) {
    struct Case {
        const char* what;
        const char* name;
        bool useFolder;
        const char* hexFileName;  // relative to the folder; "" for none
        uint16_t entry0;
    };
    const Case cases[] = {
        {"gone", "gone.hex", true, "", 0xFF},
        {"a folder", "sub", true, "", 0xFF},
        {"broken part-way", "broken.hex", true, "broken.hex", 0x42},
        {"no folder", "broken.hex", false, "", 0xFF},
    };
    for (const Case& c : cases) {
        Corvina corvina(false);
        std::filesystem::create_directory(corvina.folder.path() / "sub");
        corvina.folder.Write("broken.hex", ":0100000042BD\r\n:01001000");
        const std::string folder = corvina.folder.path().string() + "/";
        StartWith(corvina, Record({0, 0, 1, c.useFolder ? folder : "", c.name}));
        EXPECT_EQ(corvina.state.HexFileName, *c.hexFileName ? folder + c.hexFileName : "") << c.what;
        EXPECT_EQ(corvina.state.DataBuffer[0], c.entry0) << c.what;
        EXPECT_TRUE(corvina.view.boxes.empty()) << c.what;
    }
}

TEST(Closing, SavesTheSettingsAndExitClosesTheWindow) {
    Quillon q;
    q.view.items[Ctl::cboType] = 3;
    q.logic.cboTypeChange();
    q.view.items[Ctl::cboWriteDelay] = 1;
    q.logic.cboWriteDelayChange();
    q.logic.mnuPortLpt2Click();
    q.state.HexFileName = "/x/y/file.hex";
    q.state.LastFolder = "/else/";
    q.logic.mnuFileExitClick();
    EXPECT_TRUE(q.view.closed);
    const std::string bytes = TempFolder::Read(q.folder / "Program.set");
    ASSERT_EQ(bytes.size(), 255u);
    EXPECT_EQ(bytes.substr(0, 3), std::string("\x03\x01\x02", 3));
    EXPECT_EQ(bytes.substr(3, 16), std::string("/else/\0file.hex\0", 16));
    // Next time the file is looked for in the folder that was stored.
    Quillon next(false);
    next.folder.Write("file.hex", ":00000001FF\r\n");
    const std::string folder = next.folder.path().string() + "/";
    StartWith(next, Record({3, 1, 2, folder, "file.hex"}));
    EXPECT_EQ(next.state.HexFileName, folder + "file.hex");
}

}  // namespace
}  // namespace test
