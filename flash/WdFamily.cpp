#include "flash/WdFamily.h"

#include <utility>

#include "device/HexText.h"
#include "flash/Passes.h"

namespace flash::wd {
namespace {

using device::Outcome;

constexpr uint16_t kReadCode = 0x60;
constexpr uint16_t kWriteCode = 0x6C;
constexpr uint16_t kChipErase = 0x14;
constexpr uint16_t kReadSignature = 0x00;
constexpr uint16_t kReadLockBits = 0x38;

void ReadSetUp(Job& job) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    s.PowerOn();
    s.ControlByte = kReadCode;  // for the whole pass
    s.SendControlByte();
    s.Delay12us();
}

Outcome ReadAndRest(Job& job, PassCheck check) {
    ReadSetUp(job);
    const Outcome outcome = ReadPass(job, check, ReadStep);
    job.s.BoardIdle();
    return outcome;
}

Outcome BlankCheck(Job& job) { return ReadAndRest(job, PassCheck::Blank); }
void Read(Job& job) { ReadAndRest(job, PassCheck::Store); }
Outcome Verify(Job& job) { return ReadAndRest(job, PassCheck::Compare); }

Outcome Write(Job& job) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    EraseTwice(job);
    s.SetControlBit2();
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ControlByte = kWriteCode;
    s.SendControlByte();
    s.ClearControlBit1();
    s.Delay12us();
    ProgramPass(job, ProgramByte);
    s.SetControlBit1();
    s.Delay500ms();  // the supply stays on
    s.ControlByte = kReadCode;
    s.SendControlByte();
    s.Delay12us();
    StartVerifyPass(job);
    const Outcome outcome = ReadPass(job, PassCheck::Compare, ReadStep);
    s.BoardIdle();
    return outcome;
}

constexpr std::pair<uint16_t, uint16_t> kLockModes[] = {{kLockBit1, 0x7C}, {kLockBit2, 0x1C}, {kLockBit3, 0x34}};

void ProgramLockBits(Job& job, uint16_t programBits) {
    FlashSocket& s = job.s;
    s.ClearControlBit2();
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();
    for (const auto& [bit, mode] : kLockModes) {
        if (!(programBits & bit)) continue;
        s.ControlByte = mode;
        s.SendControlByte();
        s.Delay12us();
        s.SetControlBit0();
        s.Delay100us();
        s.ClearControlBit0();
    }
    s.SetControlBit2();
    s.SetControlBit1();
}

std::string Signature(Job& job) {
    FlashSocket& s = job.s;
    SignatureBytes bytes{};
    s.PowerOn();
    s.ControlByte = kReadSignature;
    s.SendControlByte();
    s.Delay12us();
    for (uint16_t i = 0; i < 3; ++i) {  // at 0x000, 0x100 and 0x200
        s.AddressLow = 0;
        s.AddressHigh = i;
        s.SendAddressLow();
        s.SendAddressHigh();
        s.Delay12us();
        s.ReadDataByte();
        bytes[i] = static_cast<uint8_t>(s.DataByte);
    }
    s.ControlByte = kReadLockBits;
    s.SendControlByte();
    s.Delay12us();
    s.ReadDataByte();
    bytes[3] = static_cast<uint8_t>(s.DataByte);
    s.BoardIdle();
    return "Signature & Program Bits Info For " + std::string(job.chip.signatureName) + "\nByte-1         " +
           device::Hex2(bytes[0]) + "\nByte-2         " + device::Hex2(bytes[1]) + "\nByte-3         " +
           device::Hex2(bytes[2]) + "\nLock Bit-1    " + LockState(bytes[3], 2) + "\nLock Bit-2    " + LockState(bytes[3], 3) +
           "\nLock Bit-3    " + LockState(bytes[3], 4);
}

constexpr FamilyRoutines kRoutines{BlankCheck, Read, Verify, Write, ProgramLockBits, Signature};

}  // namespace

// Address bit 14 moves to register bit 7; register bit 6 stays 0.
void PresentAddress(Job& job, uint32_t address) {
    FlashSocket& s = job.s;
    s.AddressLow = address & 0xFF;
    const uint16_t high = static_cast<uint16_t>(address >> 8);
    s.AddressHigh = high & 0x40 ? ((high | 0x80) & 0xBF) : high;
    s.SendAddressLow();
    s.SendAddressHigh();
}

void ReadStep(Job& job, uint32_t address) {
    PresentAddress(job, address);
    job.s.Delay12us();
    job.s.ReadDataByte();
}

// Each pass: a short erase pulse, 150 ms, and the supply cycled.
void EraseTwice(Job& job) {
    FlashSocket& s = job.s;
    for (int pass = 0; pass < 2; ++pass) {
        s.ClearControlBit2();
        s.SetPowerFlagBit0();
        s.PowerOn();
        s.ControlByte = kChipErase;
        s.SendControlByte();
        s.ClearControlBit1();
        s.Delay12us();
        s.PulseControlBit0();
        for (int i = 0; i < 15; ++i) s.Delay10ms();
        s.SetControlBit1();
        s.BoardIdle();
        if (job.chip.erasePause) s.Delay500ms();
    }
}

void ProgramByte(Job& job, uint32_t address) {
    FlashSocket& s = job.s;
    PresentAddress(job, address);
    s.DataByte = job.image[address];
    s.ShiftOutData();
    s.Delay12us();
    s.PulseControlBit0();
    s.Delay100us();  // the byte's write cycle
}

const FamilyRoutines& Routines() { return kRoutines; }

}  // namespace flash::wd
