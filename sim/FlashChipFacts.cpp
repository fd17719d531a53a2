#include "sim/FlashChipFacts.h"

namespace sim {
namespace {

using M = FlashMode;

constexpr uint64_t kUs = 1000, kMs = 1000 * kUs;

using namespace flash_pins;

// P2.6 P2.7 P3.6 P3.7; P3.3 is ignored.
constexpr ModeRow kStandardModes[] = {
    {M::WriteCode, "LHHH"},     {M::ReadCode, "LLHH"},      {M::WriteLockBit1, "HHHH"}, {M::WriteLockBit2, "HHLL"},
    {M::WriteLockBit3, "HLHL"}, {M::ChipErase, "HLLL"},     {M::ReadSignature, "LLLL"},
};

// P3.3 P3.4 P3.5 P3.7.
constexpr ModeRow kTwentyPinModes[] = {
    {M::WriteCode, "LHHH"},     {M::ReadCode, "LLHH"},  {M::WriteLockBit1, "HHHH"},
    {M::WriteLockBit2, "HHLL"}, {M::ChipErase, "HLLL"}, {M::ReadSignature, "LLLL"},
};

// P2.6 P2.7 P3.6 P3.7.
constexpr ModeRow kIspModes[] = {
    {M::ChipErase, "HLLL"},     {M::WriteCode, "LHHH"},     {M::ReadCode, "LLHH"}, {M::WriteLockBits, "HLHL"},
    {M::ReadLockBits, "HHLL"},  {M::ReadSignature, "LLLL"}, {M::WriteFuse, "LHLH"}, {M::ReadFuse, "HHLH"},
};

// P2.6 P2.7 P3.3 P3.6 P3.7.
constexpr ModeRow kWdModes[] = {
    {M::WriteCode, "LHHHH"},     {M::ReadCode, "LLLHH"},     {M::WriteLockBit1, "HHHHH"}, {M::WriteLockBit2, "HHHLL"},
    {M::WriteLockBit3, "HLHHL"}, {M::ReadLockBits, "HHLHL"}, {M::ChipErase, "HLHLL"},     {M::ReadSignature, "LLLLL"},
};

constexpr FamilyFacts kStandard{
    .name = "Standard",
    .twentyPin = false,
    .pinBits = {kP26, kP27, kP36, kP37},
    .modes = kStandardModes,
    .write = {1 * kUs, 110 * kUs},
    .lock = {1 * kUs, 110 * kUs},
    .erase = {10 * kMs, 0},
    .fuse = {},
    .writeCycle = 2 * kMs,  // the datasheet's maximum
    .lockStartsWriteCycle = true,
    .vppSetupHold = 10 * kUs,
    .vppForReads = false,
    .twoPassErase = false,
    .eraseCycle = 0,
    .lockDelay = 0,
    .lockBitsPresent = 0x07,
    .lockReadBits = {-1, -1, -1},  // cannot be read back
    .counterClockHighMin = 0,
    .counterAfterWriteCycle = 0,
};

constexpr FamilyFacts kTwentyPin{
    .name = "20-pin",
    .twentyPin = true,
    .pinBits = {kSmallP33, kSmallP34, kSmallP35, kSmallP37},
    .modes = kTwentyPinModes,
    .write = {1 * kUs, 110 * kUs},
    .lock = {1 * kUs, 110 * kUs},
    .erase = {10 * kMs, 0},
    .fuse = {},
    .writeCycle = 2 * kMs,
    .lockStartsWriteCycle = true,
    .vppSetupHold = 10 * kUs,
    .vppForReads = false,
    .twoPassErase = false,
    .eraseCycle = 0,
    .lockDelay = 0,
    .lockBitsPresent = 0x03,
    .lockReadBits = {-1, -1, -1},
    .counterClockHighMin = 200,
    .counterAfterWriteCycle = 1 * kUs,
};

constexpr FamilyFacts kIsp{
    .name = "ISP",
    .twentyPin = false,
    .pinBits = {kP26, kP27, kP36, kP37},
    .modes = kIspModes,
    .write = {1 * kUs, 110 * kUs},
    .lock = {1 * kUs, 110 * kUs},
    .erase = {10 * kMs, 0},
    .fuse = {10 * kMs, 0},
    .writeCycle = 2 * kMs,
    .lockStartsWriteCycle = true,
    .vppSetupHold = 0,
    .vppForReads = true,
    .twoPassErase = false,
    .eraseCycle = 0,
    .lockDelay = 0,
    .lockBitsPresent = 0x07,
    .lockReadBits = {2, 1, 0},
    .counterClockHighMin = 0,
    .counterAfterWriteCycle = 0,
};

constexpr FamilyFacts kWd{
    .name = "WD",
    .twentyPin = false,
    .pinBits = {kP26, kP27, kP33, kP36, kP37},
    .modes = kWdModes,
    .write = {200, 1 * kUs},
    .lock = {100 * kUs, 0},
    .erase = {200, 500},
    .fuse = {},
    .writeCycle = 80 * kUs,
    .lockStartsWriteCycle = false,
    .vppSetupHold = 0,
    .vppForReads = false,
    .twoPassErase = true,
    .eraseCycle = 150 * kMs,
    .lockDelay = 10 * kMs,
    .lockBitsPresent = 0x07,
    .lockReadBits = {2, 3, 4},
    .counterClockHighMin = 0,
    .counterAfterWriteCycle = 0,
};

constexpr ChipFacts kChips[] = {
    {"89C51", 0x1000, &kStandard, 0x0F, 0, {{{0x30, 0x1E}, {0x31, 0x51}, {0x32, 0xFF}}}, 3},
    {"89C52", 0x2000, &kStandard, 0x1F, 0, {{{0x30, 0x1E}, {0x31, 0x52}, {0x32, 0xFF}}}, 3},
    {"89C55", 0x5000, &kStandard, 0x3F, 0x40, {{{0x30, 0x1E}, {0x31, 0x55}, {0x32, 0xFF}}}, 3},  // (unconfirmed)
    {"89C1051", 0x400, &kTwentyPin, 0, 0, {{{0, 0x1E}, {1, 0x11}}}, 2},
    {"89C1051U", 0x400, &kTwentyPin, 0, 0, {{{0, 0x1E}, {1, 0x12}}}, 2},
    {"89C2051", 0x800, &kTwentyPin, 0, 0, {{{0, 0x1E}, {1, 0x21}}}, 2},
    {"89C4051", 0x1000, &kTwentyPin, 0, 0, {{{0, 0x1E}, {1, 0x41}}}, 2},
    {"89S53", 0x3000, &kIsp, 0x3F, 0, {{{0x30, 0x1E}, {0x31, 0x53}}}, 2},
    {"89S8252", 0x2800, &kIsp, 0x3F, 0, {{{0x30, 0x1E}, {0x31, 0x72}}}, 2},
    // The 89C55WD's third byte is unconfirmed (FF or 06).
    {"89C55WD", 0x5000, &kWd, 0x3F, 0x80, {{{0x000, 0x1E}, {0x100, 0x55}, {0x200, 0xFF}}}, 3},
    {"89C51RC", 0x8000, &kWd, 0x3F, 0x80, {{{0x000, 0x1E}, {0x100, 0x51}, {0x200, 0x07}}}, 3},
};

}  // namespace

std::span<const ChipFacts> AllChipFacts() { return kChips; }

const ChipFacts* FindChipFacts(std::string_view name) {
    for (const ChipFacts& chip : kChips)
        if (chip.name == name) return &chip;
    return nullptr;
}

}  // namespace sim
