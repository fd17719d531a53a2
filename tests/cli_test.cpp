// corvina-cli and quillon-cli run as a script would run them, on the bench
// with the chip files in a folder of the test's own.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliRun.h"
#include "device/CommandLock.h"
#include "programs/VirtualChips.h"
#include "TempFolder.h"
#include "device/HexText.h"

namespace test {
namespace {

// A raw image whose bytes differ from their neighbours and from an erased chip.
std::string Pattern(size_t size, uint8_t seed = 3) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed) & 0xFF);
    return bytes;
}

// The same bytes as Intel HEX, 16 to a record.
std::string HexOf(const std::string& bytes) {
    std::string text;
    for (size_t block = 0; block < bytes.size(); block += 16) {
        const size_t count = std::min<size_t>(16, bytes.size() - block);
        unsigned sum = count + (block >> 8) + (block & 0xFF);
        text += ":" + device::Hex2(count) + device::Hex4(block) + "00";
        for (size_t i = 0; i < count; ++i) {
            text += device::Hex2(static_cast<uint8_t>(bytes[block + i]));
            sum += static_cast<uint8_t>(bytes[block + i]);
        }
        text += device::Hex2(0x100 - (sum & 0xFF)) + "\r\n";
    }
    return text + ":00000001FF\r\n";
}

struct Bench {
    TempFolder folder;
    std::string chips = folder / "chips";

    CliResult Run(const std::string& exe, std::vector<std::string> args, const std::string& input = "") const {
        args.insert(args.begin(), {"--bench", "--chip-dir", chips});
        return RunCli(folder, exe, args, input);
    }
};

struct RoundTrip {
    const char* exe;
    const char* device;
    size_t size;
    std::vector<std::string> window;  // options for write and verify
    size_t written;                   // how many bytes the window writes from 0
};

class CliRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(CliRoundTrip, WriteVerifyReadAndBlankCheck) {
    const RoundTrip& c = GetParam();
    Bench bench;
    const std::string image = Pattern(c.written);
    const std::string hex = bench.folder.Write("image.hex", HexOf(image));
    const auto with = [&](std::vector<std::string> args) {
        args.insert(args.end() - 2, c.window.begin(), c.window.end());
        return args;
    };

    auto r = bench.Run(c.exe, {"-d", c.device, "blank-check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Blank Check O.K"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Time on real hardware"), std::string::npos) << r.out;

    r = bench.Run(c.exe, with({"-d", c.device, "write", hex}));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Programming/Verify OK"), std::string::npos) << r.out;

    r = bench.Run(c.exe, with({"-d", c.device, "verify", hex}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Verify OK"), std::string::npos) << r.out;

    const std::string bin = bench.folder / "back.bin";
    r = bench.Run(c.exe, {"-d", c.device, "read", bin});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string back = TempFolder::Read(bin);
    ASSERT_EQ(back.size(), c.size) << "a raw image of exactly the chip's size";
    EXPECT_EQ(back.substr(0, c.written), image);
    EXPECT_EQ(back.substr(c.written), std::string(c.size - c.written, '\xFF'));

    r = bench.Run(c.exe, {"-d", c.device, "blank-check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Blank Check Error @"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Address  0000\nData Read  =  03"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFamilyAndScheme, CliRoundTrip,
    testing::Values(RoundTrip{CORVINA_CLI_EXE, "89C51", 0x1000, {}, 0x1000},
                    RoundTrip{CORVINA_CLI_EXE, "at89c2051", 0x0800, {}, 0x0800},
                    RoundTrip{CORVINA_CLI_EXE, "89S53", 0x3000, {}, 0x3000},
                    RoundTrip{CORVINA_CLI_EXE, "AT89C51RC", 0x8000, {}, 0x8000},
                    RoundTrip{QUILLON_CLI_EXE, "28C16", 0x0800, {"--delay", "1", "--buffer-end", "FF"}, 0x100},
                    RoundTrip{QUILLON_CLI_EXE, "28c64", 0x2000, {"--delay", "1", "--buffer-end", "3F"}, 0x40},
                    // The board writes one byte a cycle: a 29C256 sector keeps one byte of a write.
                    RoundTrip{QUILLON_CLI_EXE, "29C256", 0x8000, {"--buffer-end", "0"}, 1}),
    [](const auto& p) { return std::string(p.param.device); });

TEST(Cli, AVerifyFailureSaysWhereAsTheWindowDoes) {
    Bench bench;
    const std::string good = Pattern(0x800);
    std::string bad = good;
    bad[0x123] = '\x5A';
    ASSERT_EQ(bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "write", bench.folder.Write("a.bin", good)}).status, 0);
    const auto r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "verify", bench.folder.Write("b.bin", bad)});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Buffer Verify Error @ Address  0123\nData Read  =  " + device::Hex2(good[0x123]) +
                         "\nProg Data   =  5A"),
              std::string::npos)
        << r.err;
}

TEST(Cli, AWrongChipInTheSocketIsNotWritten) {
    Bench bench;
    const std::string image = bench.folder.Write("a.bin", Pattern(0x800));
    ASSERT_EQ(bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "write", image}).status, 0);
    const std::string chipFile = bench.chips + "/89C2051.bin";
    const std::string before = TempFolder::Read(chipFile);
    ASSERT_EQ(before.size(), 0x800u);

    auto r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C4051", "--bench-chip", "89C2051", "write", image});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not an 89C4051: its signature reads 1E 21, an 89C4051's is 1E 41"), std::string::npos) << r.err;
    EXPECT_EQ(TempFolder::Read(chipFile), before) << "the wrong chip was not erased";

    r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C52", "--bench-chip", "none", "write", image});
    EXPECT_EQ(r.status, 1) << "an empty socket answers no signature";
    EXPECT_NE(r.err.find("not an 89C52"), std::string::npos) << r.err;

    r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "signature"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Byte-1  = 1E\nByte-2  = 21"), std::string::npos) << r.out;
}

struct UsageCase {
    const char* exe;
    std::vector<std::string> args;
    const char* says;
};

TEST(Cli, UsageErrorsEndWithStatus2AndSayWhat) {
    const std::vector<UsageCase> cases{
        {CORVINA_CLI_EXE, {"blank-check"}, "no device"},
        {CORVINA_CLI_EXE, {"-d", "89C99", "blank-check"}, "unknown device '89C99'; the known devices are: 89C51 89C52"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "burn"}, "unknown command 'burn'"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "write"}, "'write' needs a FILE"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "blank-check", "extra"}, "too many words"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "-p", "0x300", "blank-check"}, "unknown port '0x300'"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "--lock", "1,4", "blank-check"}, "--lock takes"},
        {CORVINA_CLI_EXE, {"-d", "89C2051", "--lock", "3", "blank-check"}, "the 89C2051 has no Lock Bit-3"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "--isp", "blank-check"}, "the 89C51 has no ISP fuse"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "--chip-dir", "/tmp", "blank-check"}, "--chip-dir is for the bench"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "--frobnicate", "blank-check"}, "unknown option '--frobnicate'"},
        {CORVINA_CLI_EXE, {"-d", "89C51", "--vcd", "x.vcd", "blank-check"}, "--vcd is for the bench"},
        {QUILLON_CLI_EXE, {"-d", "28C64", "--force", "erase"}, "unknown option '--force'"},
        {QUILLON_CLI_EXE, {"-d", "28C64", "--delay", "4", "erase"}, "--delay takes 1, 2, 3, 5 or 10"},
        {QUILLON_CLI_EXE, {"-d", "28C64", "--buffer-start", "12G", "erase"}, "--buffer-start takes a hexadecimal address"},
        {QUILLON_CLI_EXE, {"-d", "28C64", "--buffer-start", "20", "--buffer-end", "1F", "verify", "x.hex"},
         "Buffer Start Address > End Address"},
        {QUILLON_CLI_EXE, {"-d", "28C64", "--device-start", "1FF0", "--buffer-end", "1F", "write", "x.hex"},
         "Buffer Address Range > Device Address Range"},
    };
    Bench bench;
    for (const UsageCase& c : cases) {
        std::vector<std::string> args = c.args;
        const auto r = RunCli(bench.folder, c.exe, args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.says;
    }
    EXPECT_FALSE(std::filesystem::exists(bench.chips));
}

TEST(Cli, HelpAndVersion) {
    TempFolder folder;
    for (const char* exe : {CORVINA_CLI_EXE, QUILLON_CLI_EXE}) {
        auto r = RunCli(folder, exe, {"--help"});
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.out.starts_with("Usage: ")) << r.out;
        r = RunCli(folder, exe, {"--version"});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("-cli "), std::string::npos) << r.out;
    }
}

// The board self-test needs no device and leaves the chips as they were.
TEST(Cli, SelfTestOnTheBench) {
    for (const char* exe : {CORVINA_CLI_EXE, QUILLON_CLI_EXE}) {
        Bench bench;
        auto r = bench.Run(exe, {"self-test"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out.starts_with("The board answers at 0x378: every pattern came back")) << r.out;
        EXPECT_EQ(r.err, "");
        EXPECT_FALSE(std::filesystem::exists(bench.chips)) << "no chip file was written";
        r = bench.Run(exe, {"-q", "-p", "lpt2", "self-test"});  // the bench's board sits at 0x378
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.starts_with("Nothing answers at 0x278")) << r.err;
        EXPECT_EQ(r.out, "");
        r = bench.Run(exe, {"self-test", "extra"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("too many words: 'extra'"), std::string::npos) << r.err;
    }
}

TEST(Cli, AnInputFileThatCannotBeTakenTouchesNoChip) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "File Opening Error . . ."},  // no such file
        {"hello\r\n", "Invalid Hex File Format . . ."},
        {":0100000042BE\r\n:00000001FF\r\n", "Data Checksum Error . . ."},
        {":01800000427D\r\n", "Address out of range . . ."},
        {":01000000ZZ00\r\n", "'0xZZ' is not a valid integer value"},
    };
    Bench bench;
    for (const auto& [text, says] : cases) {
        const std::string file = text.empty() ? bench.folder / "missing.hex" : bench.folder.Write("in.hex", text);
        const auto r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "write", file});
        EXPECT_EQ(r.status, 2) << says;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
    }
    const auto r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "write", bench.folder.Write("big.bin", Pattern(0x8001))});
    EXPECT_EQ(r.status, 2) << "a raw image larger than the buffer";
    EXPECT_FALSE(std::filesystem::exists(bench.chips + "/89C2051.bin"));
    const auto unwritable = bench.Run(CORVINA_CLI_EXE, {"-d", "89C2051", "read", bench.folder / "no/such/folder/out.hex"});
    EXPECT_EQ(unwritable.status, 2) << "an output file that cannot be written";
    EXPECT_NE(unwritable.err.find("File Saving Error"), std::string::npos) << unwritable.err;
}

// A command on chips another program is busy with (here: this test, as
// corvina-sim would be) waits, then says who holds them and touches nothing.
TEST(Cli, ACommandOnChipsInUseElsewhereSaysWhoAndTouchesNothing) {
    Bench bench;
    TempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    device::CommandLock held;
    ASSERT_EQ(held.Take(device::CommandLockPath(programs::ChipsLockName(bench.chips))), "");
    const auto r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C4051", "write", bench.folder.Write("a.bin", Pattern(0x1000))});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("program_tests (pid " + std::to_string(getpid()) + ")"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(bench.chips + "/89C4051.bin"));
    held.Release();
    EXPECT_EQ(bench.Run(CORVINA_CLI_EXE, {"-d", "89C4051", "blank-check"}).status, 0);
    unsetenv("XDG_RUNTIME_DIR");
}

// The socket's lines of a command, as a value-change dump, whole or for a range.
TEST(Cli, ADumpOfTheSocketLines) {
    Bench bench;
    const std::string image = bench.folder.Write("one.bin", std::string(1, '\x5A'));
    const std::string whole = bench.folder / "whole.vcd", part = bench.folder / "part.vcd";
    auto r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C1051", "--vcd", whole, "write", image});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Socket dump: " + whole), std::string::npos) << r.out;
    const std::string dump = TempFolder::Read(whole);
    EXPECT_TRUE(dump.starts_with("$date")) << dump.substr(0, 80);
    for (const char* name : {"P3.2/PROG", "XTAL1", "VPP_12V", "P1 [7:0]"})
        EXPECT_NE(dump.find(name), std::string::npos) << name;
    r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C1051", "--vcd", part, "--vcd-range", "0-0", "verify", image});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_LT(TempFolder::Read(part).size() * 10, dump.size()) << "one address of 1024";
    r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C1051", "--vcd", part, "--vcd-range", "10-0", "verify", image});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--vcd-range takes FIRST-LAST"), std::string::npos) << r.err;
}

TEST(Cli, StandardInputAndOutputCarryIntelHex) {
    Bench bench;
    const std::string image = Pattern(0x400, 9);
    auto r = bench.Run(CORVINA_CLI_EXE, {"-q", "-d", "89C1051", "write", "-"}, HexOf(image));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "") << "quiet";
    r = bench.Run(CORVINA_CLI_EXE, {"-d", "89C1051", "read", "-"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, HexOf(image)) << "the data alone on standard output";
    EXPECT_NE(r.err.find("Data Reading Complete"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << "no progress bar where standard error is no terminal";
}

TEST(Cli, AProgressBarOnATerminal) {
    Bench bench;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const std::string out = bench.folder / "out.hex";
        execl(CORVINA_CLI_EXE, CORVINA_CLI_EXE, "--bench", "--chip-dir", bench.chips.c_str(), "-d", "89C2051", "read",
              out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string shown;
    char chunk[4096];
    for (ssize_t got; (got = read(terminal, chunk, sizeof chunk)) > 0;) shown.append(chunk, static_cast<size_t>(got));
    close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    EXPECT_NE(shown.find("\rReading        00FF  12%"), std::string::npos) << shown;
    EXPECT_NE(shown.find("07FF 100%"), std::string::npos) << shown;
}

TEST(Cli, AddressFieldsAreCorrectedAsInTheWindow) {
    Bench bench;
    const std::string image = bench.folder.Write("a.bin", Pattern(0x800));
    // The end beyond the 28C16 becomes its last address; a device start beyond it, 0.
    auto r = bench.Run(QUILLON_CLI_EXE, {"-d", "28C16", "--delay", "1", "--buffer-end", "7000", "--device-start", "0900",
                                         "write", image});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("--buffer-end 7000 taken as 07FF"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--device-start 0900 taken as 0000"), std::string::npos) << r.err;
    EXPECT_EQ(TempFolder::Read(bench.chips + "/28C16.bin"), Pattern(0x800));

    // A window moved up the chip: buffer 10..1F lands at 100..10F.
    bench.Run(QUILLON_CLI_EXE, {"-d", "28C16", "erase"});
    r = bench.Run(QUILLON_CLI_EXE, {"-d", "28C16", "--delay", "1", "--buffer-start", "10", "--buffer-end", "1f",
                                    "--device-start", "100", "write", image});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string chip = TempFolder::Read(bench.chips + "/28C16.bin");
    ASSERT_EQ(chip.size(), 0x800u);
    EXPECT_EQ(chip.substr(0x100, 0x10), Pattern(0x800).substr(0x10, 0x10));
    EXPECT_EQ(chip.substr(0, 0x100), std::string(0x100, '\xFF'));
}

}  // namespace
}  // namespace test
