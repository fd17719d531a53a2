// Intel HEX reading and writing, and the Open, Save and Reload commands.
#include <gtest/gtest.h>

#include <sstream>

#include "Programs.h"
#include "shell/HexFile.h"
#include "device/HexText.h"

namespace test {
namespace {

shell::Buffer Erased() {
    shell::Buffer buffer;
    buffer.fill(0xFF);
    return buffer;
}

// A data record with its checksum.
std::string Record(unsigned address, std::initializer_list<unsigned> bytes, unsigned type = 0) {
    unsigned sum = static_cast<unsigned>(bytes.size()) + (address >> 8) + (address & 0xFF) + type;
    std::string line = ":" + device::Hex2(static_cast<unsigned>(bytes.size())) + device::Hex4(address) + device::Hex2(type);
    for (unsigned b : bytes) {
        line += device::Hex2(b);
        sum += b;
    }
    return line + device::Hex2(0x100 - (sum & 0xFF)) + "\r\n";
}

const std::string kEnd = ":00000001FF\r\n";

struct ReaderCase {
    const char* what;
    std::string text;
    std::string result;
    std::vector<std::pair<unsigned, unsigned>> stored;  // address, value; all else stays FF
    std::pair<unsigned, unsigned> run{0, 0};            // from address, count: holding 00, 01, 02 ...
};

std::string Bytes(unsigned count, unsigned first = 0) {
    std::string text;
    for (unsigned i = 0; i < count; ++i) text += device::Hex2(first + i);
    return text;
}

std::string DataLine(unsigned address, unsigned count) {
    std::vector<unsigned> bytes;
    for (unsigned i = 0; i < count; ++i) bytes.push_back(i);
    unsigned sum = count + (address >> 8) + (address & 0xFF);
    for (unsigned b : bytes) sum += b;
    return ":" + device::Hex2(count) + device::Hex4(address) + "00" + Bytes(count) + device::Hex2(0x100 - (sum & 0xFF)) +
           "\r\n";
}

TEST(HexReader, AcceptsAndRejectsAsTheFormatSays) {
    const ReaderCase cases[] = {
        {"records out of order", Record(0x20, {0x11}) + Record(0x00, {0x22, 0x33}) + kEnd, "OK",
         {{0x20, 0x11}, {0x00, 0x22}, {0x01, 0x33}}},
        {"LF line ends", ":0100000042BD\n:00000001FF\n", "OK", {{0, 0x42}}},
        {"lower-case digits", ":02001000abcd76\r\n" + kEnd, "OK", {{0x10, 0xAB}, {0x11, 0xCD}}},
        {"no line end at the very end", ":0100000042BD", "OK", {{0, 0x42}}},
        {"data after the end record", kEnd + Record(0x05, {0x66}), "OK", {{0x05, 0x66}}},
        {"an empty line after the end record", Record(0, {1}) + kEnd + "\r\n", "Invalid Hex File Format . . .",
         {{0, 1}}},
        {"a leading blank", " " + Record(0, {1}), "Invalid Hex File Format . . .", {}},
        {"a NUL at the start", std::string(1, '\0') + Record(0, {1}), "Invalid Hex File Format . . .", {}},
        {"another kind of text", "hello\r\n", "Invalid Hex File Format . . .", {}},
        {"an empty file", "", "OK", {}},
        {"checksum error keeps the record", Record(0x40, {7}) + ":0200500012340A\r\n", "Data Checksum Error . . .",
         {{0x40, 7}, {0x50, 0x12}, {0x51, 0x34}}},
        {"other records are skipped unchecked", ":020000030000ZZ\r\n:00000005FFFFFF\r\n" + Record(1, {9}), "OK",
         {{1, 9}}},
        {"0x7FF8 with 16 bytes", Record(0x7FF8, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
         "Address out of range . . .",
         {{0x7FF8, 0}, {0x7FF9, 1}, {0x7FFA, 2}, {0x7FFB, 3}, {0x7FFC, 4}, {0x7FFD, 5}, {0x7FFE, 6}, {0x7FFF, 7}}},
        {"57 data bytes fit a line", DataLine(0x100, 57), "OK", {}, {0x100, 57}},
        {"58 data bytes do not", DataLine(0x100, 58), "Invalid Hex File Format . . .", {}, {0x100, 58}},
        {"zero extended offsets change nothing", Record(0, {0, 0}, 4) + Record(0, {0, 0}, 2) + Record(0x10, {5}),
         "OK", {{0x10, 5}}},
        {"a segment offset moves later data", Record(0, {0x01, 0x00}, 2) + Record(0x0004, {5}), "OK", {{0x1004, 5}}},
        {"a linear offset replaces a segment offset", Record(0, {0x01, 0x00}, 2) + Record(0, {0x00, 0x00}, 4) +
         Record(0x0004, {5}), "OK", {{0x0004, 5}}},
        {"a second segment offset replaces the first", Record(0, {0x01, 0x00}, 2) + Record(0, {0x02, 0x00}, 2) +
         Record(0x0004, {5}), "OK", {{0x2004, 5}}},
        {"a linear offset puts data out of range", Record(0, {0x00, 0x01}, 4) + Record(0x0000, {5}),
         "Address out of range . . .", {}},
        {"a segment offset past the buffer", Record(0, {0x08, 0x00}, 2) + Record(0x0000, {5}),
         "Address out of range . . .", {}},
        {"a field that is not hex", Record(0, {1}) + ":01001000G1AE\r\n", "'0xG1' is not a valid integer value",
         {{0, 1}}},
        {"a line too short for its data", ":0300000001\r\n", "'0x' is not a valid integer value", {{0, 1}}},
        {"a line too short for its type", ":0100\r\n", "'0x' is not a valid integer value", {}},
        {"a type that is not hex", ":0100000G42BD\r\n", "'0x0G' is not a valid integer value", {}},
        {"a sign in a field", ":01-000000\r\n", "'0x-000' is not a valid integer value", {}},
    };
    for (const ReaderCase& c : cases) {
        shell::Buffer buffer = Erased();
        std::istringstream in(c.text);
        EXPECT_EQ(shell::ReadHexStream(in, buffer), c.result) << c.what;
        shell::Buffer expected = Erased();
        for (auto [address, value] : c.stored) expected[address] = static_cast<uint16_t>(value);
        for (unsigned i = 0; i < c.run.second; ++i) expected[c.run.first + i] = static_cast<uint16_t>(i);
        EXPECT_EQ(buffer, expected) << c.what;
    }
}

TEST(HexWriter, WritesTheWholeDeviceInUpperCaseWithCrLf) {
    TempFolder folder;
    shell::AppState state;
    state.EraseBuffer();
    state.DeviceSize = 2048;
    for (unsigned i = 0x7F0; i < 0x800; ++i) state.DataBuffer[i] = 0;
    state.DataBuffer[0x10] = 0xab;
    state.HexFileName = folder / "out.hex";
    shell::WriteHexFile(state);
    ASSERT_EQ(state.ResultText, "OK");
    const std::string text = TempFolder::Read(state.HexFileName);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 129u);
    EXPECT_EQ(lines[0], ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r");
    EXPECT_EQ(lines[1], ":10001000ABFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF44\r");
    EXPECT_EQ(lines[127], ":1007F00000000000000000000000000000000000F9\r");
    EXPECT_EQ(lines[128], ":00000001FF\r");
    EXPECT_EQ(text.size(), 128 * 45 + 13u);
}

TEST(HexWriter, A1024ByteDeviceGives64LinesAndTheEnd) {
    TempFolder folder;
    shell::AppState state;
    state.EraseBuffer();
    state.DeviceSize = 1024;
    state.HexFileName = folder / "small.hex";
    shell::WriteHexFile(state);
    const std::string text = TempFolder::Read(state.HexFileName);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 65);
    EXPECT_TRUE(text.ends_with("\r\n:00000001FF\r\n"));
}

TEST(HexWriter, AFailedSaveLeavesTheOldFileWhole) {
    TempFolder folder;
    shell::AppState state;
    state.DeviceSize = 1024;
    state.HexFileName = folder / "missing-folder/x.hex";
    shell::WriteHexFile(state);
    EXPECT_EQ(state.ResultText, "File Saving Error . . .");

    // A folder standing where the file should be cannot be replaced.
    std::filesystem::create_directory(folder / "dir.hex");
    state.HexFileName = folder / "dir.hex";
    shell::WriteHexFile(state);
    EXPECT_EQ(state.ResultText, "File Saving Error . . .");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.hex"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "no temporary left";
}

TEST(HexFile, RoundTripFileBufferFile) {
    TempFolder folder;
    shell::AppState state;
    state.EraseBuffer();
    state.DeviceSize = 8192;
    for (size_t i = 0; i < 8192; ++i) state.DataBuffer[i] = static_cast<uint16_t>((i * 7 + 3) & 0xFF);
    const shell::Buffer original = state.DataBuffer;
    state.HexFileName = folder / "a.hex";
    shell::WriteHexFile(state);
    state.EraseBuffer();
    shell::ReadHexFile(state);
    ASSERT_EQ(state.ResultText, "OK");
    EXPECT_EQ(state.DataBuffer, original);
    const std::string first = TempFolder::Read(state.HexFileName);
    state.HexFileName = folder / "b.hex";
    shell::WriteHexFile(state);
    EXPECT_EQ(TempFolder::Read(state.HexFileName), first);
}

// The commands, with files on disk and the fake view's dialogs.
struct FileCommands : ::testing::Test {
    Corvina c;
    std::string good, bad;
    void SetUp() override {
        good = c.folder.Write("good.hex", Record(0x000, {0x12, 0x34}) + kEnd);
        bad = c.folder.Write("bad.hex", Record(0x000, {0x56}) + ":0100100077FF\r\n");
    }
};

TEST_F(FileCommands, OpenLoadsAndNamesTheFile) {
    c.view.chosenFile = good;
    c.state.LastFolder = "/start/here/";
    c.state.DataBuffer[0x100] = 0;  // cleared before reading
    c.logic.cmdOpenFileClick();
    EXPECT_EQ(c.view.dialogFolders, std::vector<std::string>{"/start/here/"});
    EXPECT_TRUE(c.view.boxes.empty());
    EXPECT_EQ(c.state.HexFileName, good);
    EXPECT_EQ(c.state.LastFolder, c.folder.path().string() + "/");
    EXPECT_EQ(c.state.DataBuffer[0x100], 0xFF);
    EXPECT_EQ(c.view.Cell(1, 1), "12");
    EXPECT_EQ(c.view.panels[0], " Hex File :  GOOD.HEX");
    EXPECT_EQ(c.view.Text(shell::Ctl::stxCkSum), "EE48");
}

TEST_F(FileCommands, AFailedOpenShowsWhatWasReadAndDropsTheName) {
    c.view.chosenFile = bad;
    c.logic.sbtOpenFileClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Data Checksum Error . . .", "OPEN FILE", Box::Warning}}));
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.state.LastFolder, c.folder.path().string() + "/");
    EXPECT_EQ(c.view.Cell(1, 1), "56");
    EXPECT_EQ(c.view.Cell(1, 2), "77");  // the faulty record's own byte
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
}

TEST_F(FileCommands, OpenOfAMissingFileOrCancelled) {
    c.view.chosenFile = std::nullopt;
    c.logic.mnuFileOpenClick();
    EXPECT_TRUE(c.view.boxes.empty());
    c.view.chosenFile = c.folder / "gone.hex";
    c.logic.mnuFileOpenClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"File Opening Error . . .", "OPEN FILE", Box::Warning}}));
}

TEST_F(FileCommands, ReloadAfterAFailureLeavesTheBufferErased) {
    c.state.HexFileName = bad;
    c.logic.cmdReloadFileClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Data Checksum Error . . .", "RELOAD FILE", Box::Warning}}));
    for (uint16_t entry : c.state.DataBuffer) ASSERT_EQ(entry, 0xFF);
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");

    c.view.boxes.clear();
    c.logic.cmdReloadFileClick();  // no file: nothing at all
    EXPECT_TRUE(c.view.boxes.empty());
}

TEST_F(FileCommands, ReloadReadsTheFileAgain) {
    c.state.HexFileName = good;
    c.state.DataBuffer[5] = 0x00;
    c.logic.cmdReloadFileClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"File Reload OK", "RELOAD HEX FILE", Box::Plain}}));
    EXPECT_EQ(c.state.DataBuffer[5], 0xFF);
    EXPECT_EQ(c.state.DataBuffer[1], 0x34);
}

TEST_F(FileCommands, SaveAddsTheExtensionAndAsksBeforeReplacing) {
    // Only the file's own name decides: a dot in a folder's name is no extension.
    std::filesystem::create_directory(c.folder / "v1.2");
    c.view.chosenFile = c.folder / "v1.2/image";
    c.logic.mnuFileSaveClick();
    EXPECT_EQ(c.state.HexFileName, c.folder / "v1.2/image.hex");
    EXPECT_TRUE(std::filesystem::is_regular_file(c.folder / "v1.2/image.hex"));

    c.view.chosenFile = c.folder / "image";
    c.logic.mnuFileSaveClick();
    EXPECT_TRUE(c.view.boxes.empty());
    EXPECT_EQ(c.state.HexFileName, c.folder / "image.hex");
    EXPECT_EQ(TempFolder::Read(c.folder / "image.hex").size(), 256 * 45 + 13u);
    EXPECT_EQ(c.view.panels[0], " Hex File :  IMAGE.HEX");

    // No at the question: nothing is written and the buffer still means image.hex.
    c.view.chosenFile = good;
    c.view.answers = {Answer::No};
    c.logic.cmdSaveFileClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Over-write exiting file", "SAVE FILE", Box::WarningYesNo}}));
    EXPECT_EQ(TempFolder::Read(good), Record(0x000, {0x12, 0x34}) + kEnd);
    EXPECT_EQ(c.state.HexFileName, c.folder / "image.hex");

    c.view.answers = {Answer::Yes};
    c.logic.sbtSaveFileClick();
    EXPECT_EQ(c.state.HexFileName, good);
    EXPECT_EQ(TempFolder::Read(good), TempFolder::Read(c.folder / "image.hex"));
}

TEST_F(FileCommands, AFailedSaveDropsTheName) {
    c.state.HexFileName = good;
    c.view.chosenFile = c.folder / "no-such-folder/x.hex";
    c.logic.mnuFileSaveClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"File Saving Error . . .", "SAVE FILE", Box::Error}}));
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
}

}  // namespace
}  // namespace test

namespace test {
namespace {

// Files from real toolchains load to the image the tool says they hold.
TEST(HexReader, LoadsWhatRealToolsWrite) {
    struct Case {
        const char* hex;
        const char* image;
        unsigned at;
    };
    for (const Case& c : {Case{"blink.ihx", "blink.bin", 0}, Case{"srec_cat-offset-2345.hex", "srec_cat-offset-2345.bin", 0x2345}}) {
        const std::string folder = FIXTURES "/";
        shell::AppState state;
        state.EraseBuffer();
        state.HexFileName = folder + c.hex;
        shell::ReadHexFile(state);
        ASSERT_EQ(state.ResultText, "OK") << c.hex;
        const std::string image = TempFolder::Read(folder + c.image);
        ASSERT_FALSE(image.empty());
        shell::Buffer expected;
        expected.fill(0xFF);
        for (size_t i = 0; i < image.size(); ++i) expected[c.at + i] = static_cast<uint8_t>(image[i]);
        EXPECT_EQ(state.DataBuffer, expected) << c.hex;
    }
}

}  // namespace
}  // namespace test
