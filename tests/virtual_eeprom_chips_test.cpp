// quillon-sim's parts that keep their memory in <chip>.bin: what a command
// finds, what it saves, the files it will not overwrite, and the device layer
// calls the socket passes on.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <vector>

#include "ChipImages.h"
#include "Programs.h"
#include "eeprom/EepromCatalogue.h"
#include "programs/ChipFiles.h"
#include "programs/EepromChipKind.h"
#include "programs/FlashChipKind.h"
#include "programs/VirtualChips.h"
#include "shell/QuillonDevice.h"

namespace test {
namespace {

namespace fs = std::filesystem;
using Click = void (shell::QuillonMain::*)();

// The small parts, one of each strobe line.
struct Part {
    int type;
    const char* chip;
    size_t size;
};
constexpr Part k28C16{0, "28C16", 0x800};
constexpr Part k2817{6, "2817", 0x800};
constexpr Part kParts[] = {k28C16, k2817};

// quillon-sim's window logic on a fake view, its parts kept in `folder`. A
// second one over the same folder is the program started again. FormCreate
// chooses the 10 msec write delay, which costs virtual time only.
struct SimQuillon {
    explicit SimQuillon(fs::path folder) : chips(program.state, program.board.bench, eeprom, std::move(folder)) {
        program.logic.FormCreate();
    }
    Quillon program{false, &chips};  // only the address of the chips is taken here
    shell::QuillonDevice eeprom{program.state, program.board.board};
    programs::VirtualChips<programs::EepromChipKind> chips;
    shell::QuillonState& state = program.state;
    FakeMainView& view = program.view;

    void Choose(const Part& part) {
        view.items[Ctl::cboType] = part.type;
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
    void Fill(const std::string& bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) state.DataBuffer[i] = static_cast<uint8_t>(bytes[i]);
    }
};

TEST(VirtualEepromChips, EveryDeviceHasAChipModelOfItsSize) {
    for (const eeprom::DeviceEntry& device : eeprom::Catalogue()) {
        const auto chip = sim::EepromChip::Make(device.chip);
        ASSERT_TRUE(chip) << device.chip;
        EXPECT_EQ(chip->Size(), device.size) << device.chip << ": its file must be the device's size";
    }
}

TEST(VirtualEepromChips, WithoutAFileThePartIsFreshAndNothingIsWritten) {
    for (const Part& part : kParts) {
        TempFolder data;
        const fs::path folder = data.path() / "quillon-sim";
        SimQuillon sim(folder);
        sim.Choose(part);
        sim.state.DataBuffer.fill(0);
        EXPECT_EQ(sim.Run(&shell::QuillonMain::cmdBlankChkClick),
                  (ShownBox{"Blank Check O.K", "BLANK CHECK", Box::Information})) << part.chip;
        EXPECT_EQ(sim.Run(&shell::QuillonMain::cmdReadClick).text, "Data Reading Complete") << part.chip;
        EXPECT_EQ(sim.Image(part.size), std::string(part.size, '\xFF')) << part.chip;
        EXPECT_FALSE(fs::exists(folder)) << part.chip << ": the folder is made only when a part has something to keep";
    }
}

TEST(VirtualEepromChips, AWriteIsSavedAndComesBackAfterARestart) {
    const std::string pattern = Pattern(k28C16.size);
    for (const Part& part : kParts) {
        TempFolder data;
        const fs::path folder = data.path() / "quillon-sim";
        {
            SimQuillon sim(folder);
            sim.Choose(part);
            sim.Fill(pattern);
            EXPECT_EQ(sim.Run(&shell::QuillonMain::cmdWriteClick),
                      (ShownBox{"Programming/Verify OK", "WRITE", Box::Information})) << part.chip;
        }
        const std::string image = std::string(part.chip) + ".bin";
        EXPECT_EQ(Names(folder), std::set<std::string>{image}) << "no other file, and no temporary one left";
        EXPECT_EQ(TempFolder::Read(folder / image), pattern) << part.chip << ": exactly the part's bytes";

        SimQuillon again(folder);
        again.Choose(part);
        again.state.DataBuffer.fill(0);
        EXPECT_EQ(again.Run(&shell::QuillonMain::cmdReadClick).text, "Data Reading Complete") << part.chip;
        EXPECT_EQ(again.Image(part.size), pattern) << part.chip;
        EXPECT_EQ(again.Run(&shell::QuillonMain::cmdVerifyClick).text, "Verify OK") << part.chip;
        const Part& other = &part == &kParts[0] ? kParts[1] : kParts[0];
        again.Choose(other);  // each device type has a part of its own
        EXPECT_EQ(again.Run(&shell::QuillonMain::cmdBlankChkClick).text, "Blank Check O.K") << other.chip;

        again.Choose(part);  // an erase is kept as well
        EXPECT_EQ(again.Run(&shell::QuillonMain::cmdEraseClick).text, "Erasing OK") << part.chip;
        EXPECT_EQ(TempFolder::Read(folder / image), std::string(part.size, '\xFF')) << part.chip;
        SimQuillon third(folder);
        third.Choose(part);
        EXPECT_EQ(third.Run(&shell::QuillonMain::cmdBlankChkClick).text, "Blank Check O.K") << part.chip;
    }
}

TEST(VirtualEepromChips, AFileThatCannotBeTakenIsReportedByEveryCommandAndLeftAsItIs) {
    const std::string notTaken = ".\nThe file was left as it is; the command did not run.";
    struct Case {
        const Part& part;
        std::string contents;
        bool directory;
        std::string text;  // after the file's path
    } cases[] = {
        {k28C16, std::string(100, 'Z'), false, " holds 100 bytes, but the virtual 28C16 has 2048" + notTaken},
        {k28C16, std::string(2049, 'Z'), false, " holds 2049 bytes, but the virtual 28C16 has 2048" + notTaken},
        {k2817, std::string(0x2000, 'Z'), false, " holds 8192 bytes, but the virtual 2817 has 2048" + notTaken},
        {k2817, "", false, " holds 0 bytes, but the virtual 2817 has 2048" + notTaken},
        {k2817, "", true, " cannot be read: not a regular file" + notTaken},
    };
    struct Command {
        Click click;
        const char* title;
        Box kind;
    } commands[] = {
        {&shell::QuillonMain::cmdReadClick, "READ", Box::Warning},
        {&shell::QuillonMain::cmdWriteClick, "WRITE", Box::Error},
        {&shell::QuillonMain::cmdVerifyClick, "VERIFY", Box::Warning},
        {&shell::QuillonMain::cmdBlankChkClick, "BLANK CHECK", Box::Warning},
        {&shell::QuillonMain::cmdEraseClick, "ERASE", Box::Warning},
    };
    for (const Case& c : cases) {
        TempFolder data;
        const std::string image = std::string(c.part.chip) + ".bin";
        if (c.directory)
            fs::create_directory(data / image);
        else
            data.Write(image, c.contents);
        SimQuillon sim(data.path());
        sim.Choose(c.part);
        sim.Fill(std::string(c.part.size, '\x11'));
        const shell::Buffer buffer = sim.state.DataBuffer;
        for (const Command& command : commands) {
            const uint64_t accesses = sim.program.board.bench.AccessCount();
            EXPECT_EQ(sim.Run(command.click), (ShownBox{data / image + c.text, command.title, command.kind}))
                << c.part.chip << " " << c.contents.size();
            EXPECT_EQ(sim.program.board.bench.AccessCount(), accesses) << command.title << ": the board was not touched";
        }
        EXPECT_EQ(sim.state.DataBuffer, buffer);
        EXPECT_EQ(Names(data.path()), std::set<std::string>{image});
        if (!c.directory) {
            EXPECT_EQ(TempFolder::Read(data / image), c.contents);
        }
    }
}

TEST(VirtualEepromChips, ACommandThatChangesNothingWritesNothing) {
    TempFolder data;
    SimQuillon sim(data.path());
    sim.Choose(k2817);
    sim.Fill(Pattern(k2817.size));
    ASSERT_EQ(sim.Run(&shell::QuillonMain::cmdWriteClick).text, "Programming/Verify OK");
    // A replaced file would have a new time.
    const fs::path image = data.path() / "2817.bin";
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(image, old);
    for (Click command : {&shell::QuillonMain::cmdReadClick, &shell::QuillonMain::cmdVerifyClick,
                          &shell::QuillonMain::cmdBlankChkClick,
                          &shell::QuillonMain::cmdWriteClick})  // the same bytes again
        sim.Run(command);
    EXPECT_EQ(fs::last_write_time(image), old);
    EXPECT_EQ(Names(data.path()), std::set<std::string>{"2817.bin"});
}

TEST(VirtualEepromChips, APartThatCannotBeSavedSaysSoAndKeepsNothing) {
    TempFolder data;
    data.Write("quillon-sim", "a file where the folder should be");
    const fs::path folder = data.path() / "quillon-sim";
    SimQuillon sim(folder);
    sim.Choose(k28C16);
    sim.Fill(Pattern(k28C16.size));
    EXPECT_EQ(sim.Run(&shell::QuillonMain::cmdWriteClick),
              (ShownBox{"The virtual 28C16 could not be saved: the folder " + folder.string() +
                            " cannot be made (Not a directory).\n"
                            "Its change is lost: the next command finds the chip as its file holds it.",
                        "WRITE", Box::Error}));
    EXPECT_EQ(sim.Run(&shell::QuillonMain::cmdBlankChkClick).text, "Blank Check O.K") << "as the (missing) file holds it";
    EXPECT_EQ(TempFolder::Read(folder.string()), "a file where the folder should be");
}

// A device layer that records what reaches it.
struct Recorder : shell::DeviceLayer {
    std::vector<std::string> calls;
    std::string Record(const char* call) {
        calls.push_back(call);
        return "OK";
    }
    std::string BlankCheckDevice(device::ProgressSink&) override { return Record("BlankCheckDevice"); }
    std::string ReadDevice(device::ProgressSink&) override { return Record("ReadDevice"); }
    std::string WriteDevice(device::ProgressSink&) override { return Record("WriteDevice"); }
    std::string VerifyDevice(device::ProgressSink&) override { return Record("VerifyDevice"); }
    std::string EraseDevice(device::ProgressSink&) override { return Record("EraseDevice"); }
    std::string ReadSignature(device::ProgressSink&) override { return Record("ReadSignature"); }
    void StartUpBoard() override { Record("StartUpBoard"); }
    void BoardIdle() override { Record("BoardIdle"); }
    void RestAtStart() override { Record("RestAtStart"); }
};

struct NoProgress : device::ProgressSink {
    void ShowProgress(uint16_t) override {}
    void ShowActivity(std::string_view) override {}
};

// Each kind's socket passes every call on, once, and none in its place: a
// call it kept would leave the board as the program did not mean.
template <class Kind>
void EveryCallReachesTheDeviceLayer(uint16_t deviceType) {
    TempFolder data;
    shell::AppState state;
    state.DeviceType = deviceType;
    sim::Bench bench;
    Recorder device;
    programs::VirtualChips<Kind> chips(state, bench, device, data.path());
    NoProgress progress;
    using Call = void (*)(shell::DeviceLayer&, device::ProgressSink&);
    const std::pair<const char*, Call> calls[] = {
        {"BlankCheckDevice", [](shell::DeviceLayer& d, device::ProgressSink& p) { d.BlankCheckDevice(p); }},
        {"ReadDevice", [](shell::DeviceLayer& d, device::ProgressSink& p) { d.ReadDevice(p); }},
        {"WriteDevice", [](shell::DeviceLayer& d, device::ProgressSink& p) { d.WriteDevice(p); }},
        {"VerifyDevice", [](shell::DeviceLayer& d, device::ProgressSink& p) { d.VerifyDevice(p); }},
        {"EraseDevice", [](shell::DeviceLayer& d, device::ProgressSink& p) { d.EraseDevice(p); }},
        {"ReadSignature", [](shell::DeviceLayer& d, device::ProgressSink& p) { d.ReadSignature(p); }},
        {"StartUpBoard", [](shell::DeviceLayer& d, device::ProgressSink&) { d.StartUpBoard(); }},
        {"BoardIdle", [](shell::DeviceLayer& d, device::ProgressSink&) { d.BoardIdle(); }},
        {"RestAtStart", [](shell::DeviceLayer& d, device::ProgressSink&) { d.RestAtStart(); }},
    };
    for (const auto& [name, call] : calls) {
        device.calls.clear();
        call(chips, progress);
        EXPECT_EQ(device.calls, std::vector<std::string>{name}) << Kind::kRest.extension;
    }
}

TEST(VirtualChipKinds, EveryCallReachesTheDeviceLayer) {
    EveryCallReachesTheDeviceLayer<programs::EepromChipKind>(k28C16.type);
    EveryCallReachesTheDeviceLayer<programs::FlashChipKind>(5);  // 89C2051
}

}  // namespace
}  // namespace test
