// corvina-sim's chips that keep their memory, lock bits and fuse in files:
// what a command finds, what it saves, and the files it will not overwrite.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>

#include "ChipImages.h"
#include "Programs.h"
#include "flash/FlashCatalogue.h"
#include "programs/ChipFiles.h"
#include "device/CommandLock.h"
#include "programs/FlashChipKind.h"
#include "programs/VirtualChips.h"
#include "shell/CorvinaDevice.h"

namespace test {
namespace {

namespace fs = std::filesystem;
using Click = void (shell::CorvinaMain::*)();

enum Type : int { AT89C1051 = 3, AT89C2051 = 5 };
constexpr size_t k2051Size = 0x800;

// corvina-sim's window logic on a fake view, its chips kept in `folder`. A
// second one over the same folder is the program started again.
struct SimCorvina {
    explicit SimCorvina(fs::path folder) : chips(program.state, program.board.bench, flash, std::move(folder)) {
        program.logic.FormCreate();
    }
    Corvina program{false, &chips};  // only the address of the chips is taken here
    shell::CorvinaDevice flash{program.state, program.board.board};
    programs::VirtualChips<programs::FlashChipKind> chips;
    shell::CorvinaState& state = program.state;
    FakeMainView& view = program.view;

    void Choose(int type) {
        view.items[Ctl::cboType] = type;
        program.logic.cboTypeChange();
    }
    ShownBox Run(Click command) {
        view.boxes.clear();
        (program.logic.*command)();
        EXPECT_EQ(view.boxes.size(), 1u);
        return view.boxes.empty() ? ShownBox{} : view.boxes.back();
    }
    std::string Image(size_t size) const {
        std::string bytes;
        for (size_t i = 0; i < size; ++i) bytes += static_cast<char>(state.DataBuffer[i]);
        return bytes;
    }
};

void Fill(shell::CorvinaState& state, const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) state.DataBuffer[i] = static_cast<uint8_t>(bytes[i]);
}

TEST(VirtualChips, EveryDeviceHasAChipModelOfItsSize) {
    for (const flash::DeviceEntry& device : flash::Catalogue()) {
        const auto chip = sim::FlashChip::Make(device.chip);
        ASSERT_TRUE(chip) << device.chip;
        EXPECT_EQ(chip->Size(), device.size) << device.chip << ": its file must be the device's size";
    }
}

TEST(VirtualChips, WithoutFilesTheChipIsFreshAndNothingIsWritten) {
    TempFolder data;
    const fs::path folder = data.path() / "corvina-sim";
    SimCorvina sim(folder);
    sim.Choose(AT89C2051);
    sim.state.DataBuffer.fill(0);
    EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdReadClick), (ShownBox{"Data Reading Complete", "READ", Box::Information}));
    EXPECT_EQ(sim.Image(k2051Size), std::string(k2051Size, '\xFF'));
    EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdBlankChkClick).text, "Blank Check O.K");
    EXPECT_FALSE(fs::exists(folder)) << "the folder is made only when a chip has something to keep";
}

TEST(VirtualChips, AWriteIsSavedAndComesBackAfterARestart) {
    TempFolder data;
    const fs::path folder = data.path() / "corvina-sim";
    const std::string pattern = Pattern(k2051Size);
    {
        SimCorvina sim(folder);
        sim.Choose(AT89C2051);
        Fill(sim.state, pattern);
        sim.view.checked[Ctl::chkLB1] = true;
        sim.program.logic.chkLB1Click();
        EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdWriteClick),
                  (ShownBox{"Programming/Verify OK\nLock Bits Programmed", "WRITE", Box::Information}));
    }
    EXPECT_EQ(Names(folder), (std::set<std::string>{"89C2051.bin", "89C2051.state"})) << "no temporary file is left";
    EXPECT_EQ(TempFolder::Read(folder / "89C2051.bin"), pattern);
    EXPECT_EQ(TempFolder::Read(folder / "89C2051.state"), "lock-bits 1\nserial-fuse enabled\n");

    SimCorvina again(folder);
    again.Choose(AT89C2051);
    again.state.DataBuffer.fill(0);
    EXPECT_EQ(again.Run(&shell::CorvinaMain::cmdReadClick).text, "Data Reading Complete");
    EXPECT_EQ(again.Image(k2051Size), pattern);
    EXPECT_EQ(again.Run(&shell::CorvinaMain::cmdVerifyClick).text, "Verify OK");
    again.Choose(AT89C1051);  // each device type has a chip of its own
    EXPECT_EQ(again.Run(&shell::CorvinaMain::cmdBlankChkClick).text, "Blank Check O.K");
}

// Another program (corvina-cli --bench, a second corvina-sim) on the same chips:
// the command waits, then says so, and the chip's files stay as they were.
TEST(VirtualChips, ACommandOnChipsInUseElsewhereWaitsAndTouchesNothing) {
    TempFolder data, runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    const fs::path folder = data.path() / "corvina-sim";
    SimCorvina sim(folder);
    sim.Choose(AT89C2051);
    Fill(sim.state, Pattern(k2051Size));
    device::CommandLock other;
    ASSERT_EQ(other.Take(device::CommandLockPath(programs::ChipsLockName(folder))), "");
    const ShownBox box = sim.Run(&shell::CorvinaMain::cmdWriteClick);
    EXPECT_EQ(box.title, "WRITE");
    EXPECT_NE(box.text.find("busy"), std::string::npos) << box.text;
    EXPECT_FALSE(fs::exists(folder)) << "nothing was written";
    other.Release();
    EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdWriteClick).text, "Programming/Verify OK");
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(VirtualChips, TheStateFileSeatsTheLockBits) {
    const std::string pattern = Pattern(k2051Size);
    struct Case {
        const char* state;  // nullptr: no state file
        bool locked;        // Lock Bit-2 hides the memory from reads
    } cases[] = {
        {nullptr, false},
        {"lock-bits 1\nserial-fuse enabled\n", false},
        {"lock-bits 3\nserial-fuse enabled\n", true},
        {"\r\nserial-fuse disabled\r\nlock-bits 2\r\n", true},  // any order, blank lines, CRLF
    };
    for (const Case& c : cases) {
        TempFolder data;
        data.Write("89C2051.bin", pattern);
        if (c.state) data.Write("89C2051.state", c.state);
        SimCorvina sim(data.path());
        sim.Choose(AT89C2051);
        EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdReadClick).text, "Data Reading Complete") << c.state;
        EXPECT_EQ(sim.Image(k2051Size), c.locked ? std::string(k2051Size, '\0') : pattern) << c.state;
    }
}

TEST(VirtualChips, AFileThatCannotBeTakenIsReportedByEveryCommandAndLeftAsItIs) {
    const std::string notTaken = ".\nThe file was left as it is; the command did not run.";
    const std::string notState = " does not hold the lock bits and fuse of the virtual 89C2051" + notTaken;
    struct Case {
        const char* file;
        std::string contents;  // empty for the directory case
        bool directory;
        std::string text;      // after the file's path
    } cases[] = {
        {"89C2051.bin", std::string(100, 'Z'), false, " holds 100 bytes, but the virtual 89C2051 has 2048" + notTaken},
        {"89C2051.bin", std::string(2049, 'Z'), false, " holds 2049 bytes, but the virtual 89C2051 has 2048" + notTaken},
        {"89C2051.bin", "", false, " holds 0 bytes, but the virtual 89C2051 has 2048" + notTaken},
        {"89C2051.bin", "", true, " cannot be read: not a regular file" + notTaken},
        {"89C2051.state", "lock-bits 8\nserial-fuse enabled\n", false, notState},
        {"89C2051.state", "lock-bits 4\nserial-fuse enabled\n", false, notState},  // the 20-pin chips have no LB3
        {"89C2051.state", "lock-bits 1\n", false, notState},
        {"89C2051.state", "lock-bits 1\nlock-bits 3\nserial-fuse enabled\n", false, notState},
        {"89C2051.state", "lock-bits 1\nserial-fuse on\n", false, notState},
        {"89C2051.state", "lock-bits 1 2\nserial-fuse enabled\n", false, notState},
        {"89C2051.state", "lock-bits 1\nserial-fuse enabled\n" + std::string(5000, '\n'), false, notState},
    };
    struct Command {
        Click click;
        const char* title;
        Box kind;
    } commands[] = {
        {&shell::CorvinaMain::cmdReadClick, "READ", Box::Warning},
        {&shell::CorvinaMain::cmdWriteClick, "WRITE", Box::Error},
        {&shell::CorvinaMain::cmdVerifyClick, "VERIFY", Box::Warning},
        {&shell::CorvinaMain::cmdBlankChkClick, "BLANK CHECK", Box::Warning},
        {&shell::CorvinaMain::cmdSignatureClick, "SIGNATURE", Box::Information},
    };
    const std::string pattern = Pattern(k2051Size);
    for (const Case& c : cases) {
        TempFolder data;
        // The other file is good: it must be left alone too.
        const bool bad = std::string(c.file) == "89C2051.bin";
        const std::string other = bad ? "89C2051.state" : "89C2051.bin";
        const std::string otherContents = bad ? "lock-bits 0\nserial-fuse enabled\n" : pattern;
        data.Write(other, otherContents);
        if (c.directory)
            fs::create_directory(data / c.file);
        else
            data.Write(c.file, c.contents);
        SimCorvina sim(data.path());
        sim.Choose(AT89C2051);
        Fill(sim.state, std::string(k2051Size, '\x11'));
        const shell::Buffer buffer = sim.state.DataBuffer;
        for (const Command& command : commands) {
            const uint64_t accesses = sim.program.board.bench.AccessCount();
            EXPECT_EQ(sim.Run(command.click), (ShownBox{data / c.file + c.text, command.title, command.kind}))
                << c.file << " " << c.contents.size();
            EXPECT_EQ(sim.program.board.bench.AccessCount(), accesses) << command.title << ": the board was not touched";
        }
        EXPECT_EQ(sim.state.DataBuffer, buffer);
        EXPECT_EQ(Names(data.path()), (std::set<std::string>{"89C2051.bin", "89C2051.state"}));
        if (!c.directory) {
            EXPECT_EQ(TempFolder::Read(data / c.file), c.contents);
        }
        EXPECT_EQ(TempFolder::Read(data / other), otherContents);
    }
}

TEST(VirtualChips, ACommandThatChangesNothingWritesNothing) {
    TempFolder data;
    const std::string pattern = Pattern(k2051Size);
    SimCorvina sim(data.path());
    sim.Choose(AT89C2051);
    Fill(sim.state, pattern);
    ASSERT_EQ(sim.Run(&shell::CorvinaMain::cmdWriteClick).text, "Programming/Verify OK");
    ASSERT_EQ(Names(data.path()), std::set<std::string>{"89C2051.bin"}) << "the lock bits and fuse did not change";
    // A replaced file would have a new time.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(data.path() / "89C2051.bin", old);
    for (Click command : std::initializer_list<Click>{&shell::CorvinaMain::cmdReadClick, &shell::CorvinaMain::cmdVerifyClick,
                          &shell::CorvinaMain::cmdBlankChkClick, &shell::CorvinaMain::cmdSignatureClick,
                          &shell::CorvinaMain::cmdWriteClick})  // the same bytes again
        sim.Run(command);
    EXPECT_EQ(fs::last_write_time(data.path() / "89C2051.bin"), old);
    EXPECT_EQ(Names(data.path()), std::set<std::string>{"89C2051.bin"});
}

TEST(VirtualChips, AChipThatCannotBeSavedSaysSoAndKeepsNothing) {
    TempFolder data;
    data.Write("corvina-sim", "a file where the folder should be");
    const fs::path folder = data.path() / "corvina-sim";
    SimCorvina sim(folder);
    sim.Choose(AT89C2051);
    Fill(sim.state, Pattern(k2051Size));
    EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdWriteClick),
              (ShownBox{"The virtual 89C2051 could not be saved: the folder " + folder.string() +
                            " cannot be made (Not a directory).\n"
                            "Its change is lost: the next command finds the chip as its files hold it.",
                        "WRITE", Box::Error}));
    EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdBlankChkClick).text, "Blank Check O.K") << "as the (missing) files hold it";
    EXPECT_EQ(TempFolder::Read(folder.string()), "a file where the folder should be");
}

// The environment of one case, put back afterwards.
struct Environment {
    std::map<std::string, std::optional<std::string>> saved;
    void Set(const std::string& name, const char* value) {
        if (!saved.contains(name)) {
            const char* old = std::getenv(name.c_str());
            saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value, 1);
        else
            unsetenv(name.c_str());
    }
    ~Environment() {
        for (const auto& [name, value] : saved) Set(name, value ? value->c_str() : nullptr);
    }
};

TEST(VirtualChips, TheFolderIsTheUsersDataFolder) {
    struct Case {
        const char* data;
        const char* home;
        const char* folder;
    } cases[] = {
        {"/d", "/h", "/d/corvina-sim"},
        {"", "/h", "/h/.local/share/corvina-sim"},
        {nullptr, "/h", "/h/.local/share/corvina-sim"},
        {"relative", "/h", "/h/.local/share/corvina-sim"},  // only an absolute path names a folder
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        Environment environment;
        environment.Set("XDG_DATA_HOME", c.data);
        environment.Set("HOME", c.home);
        EXPECT_EQ(programs::ChipFolder("corvina-sim"), fs::path(c.folder)) << (c.data ? c.data : "unset");
    }
}

TEST(VirtualChips, WithoutAFolderNoCommandRuns) {
    SimCorvina sim(fs::path{});
    sim.Choose(AT89C2051);
    const uint64_t accesses = sim.program.board.bench.AccessCount();
    EXPECT_EQ(sim.Run(&shell::CorvinaMain::cmdWriteClick).text,
              "The virtual 89C2051 has no folder to be kept in: neither XDG_DATA_HOME nor HOME names one.\n"
              "The command did not run.");
    EXPECT_EQ(sim.program.board.bench.AccessCount(), accesses);
}

}  // namespace
}  // namespace test
