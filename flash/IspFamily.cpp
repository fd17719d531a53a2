#include "flash/IspFamily.h"

#include "device/HexText.h"
#include "flash/Passes.h"
#include "flash/StandardFamily.h"

namespace flash::isp {
namespace {

using device::Outcome;
using standard::ReadStep;

constexpr uint16_t kWriteLockBits = 0x34;
constexpr uint16_t kWriteFuse = 0x4C;
constexpr uint16_t kReadLockBits = 0x1C;
constexpr uint16_t kReadFuse = 0x5C;

void ReadSetUp(Job& job) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();  // these chips want the programming voltage in every mode
    s.ControlByte = standard::kReadCode;
    s.DisableDeviceOutput();
    s.Delay12us();
}

// A pass that completes takes the programming voltage off before the rest
// state; one that stops at a bad byte leaves that to BoardIdle.
Outcome ReadAndRest(Job& job, PassCheck check) {
    ReadSetUp(job);
    const Outcome outcome = ReadPass(job, check, ReadStep);
    if (outcome.good) job.s.SetControlBit1();
    job.s.BoardIdle();
    return outcome;
}

Outcome BlankCheck(Job& job) { return ReadAndRest(job, PassCheck::Blank); }
void Read(Job& job) { ReadAndRest(job, PassCheck::Store); }
Outcome Verify(Job& job) { return ReadAndRest(job, PassCheck::Compare); }

Outcome Write(Job& job) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();
    s.ControlByte = standard::kChipErase;
    s.SendControlByte();
    s.SetControlBit0();
    s.Delay10ms();  // the 10 ms erase pulse
    s.ClearControlBit0();
    s.ControlByte = standard::kWriteCode;
    s.SendControlByte();
    ProgramPass(job, standard::ProgramByte);
    s.ControlByte = standard::kReadCode;  // the voltage stays on, and no pause
    s.DisableDeviceOutput();
    s.Delay12us();
    StartVerifyPass(job);
    const Outcome outcome = ReadPass(job, PassCheck::Compare, ReadStep);
    if (outcome.good) s.SetControlBit1();
    s.BoardIdle();
    return outcome;
}

// Both pulses are given whenever the routine runs: a byte of 0xFF programs nothing.
void ProgramLockBits(Job& job, uint16_t programBits) {
    FlashSocket& s = job.s;
    s.DataByte = LockDataByte(programBits);
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();
    s.ShiftOutData();
    s.ControlByte = kWriteLockBits;
    s.SendControlByte();
    s.Delay12us();
    s.SetControlBit0();
    s.Delay12us();
    s.ClearControlBit0();
    s.Delay2ms();
    s.DataByte = FuseDataByte(programBits);
    s.ShiftOutData();
    s.ControlByte = kWriteFuse;
    s.SendControlByte();
    s.Delay12us();
    s.SetControlBit0();
    s.Delay10ms();  // the fuse wants a 10 ms pulse
    s.ClearControlBit0();
    s.SetControlBit1();
}

std::string Signature(Job& job) {
    FlashSocket& s = job.s;
    SignatureBytes bytes{};
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();
    s.ControlByte = standard::kReadSignature;
    s.DisableDeviceOutput();
    s.Delay12us();
    for (uint32_t a = 0x30; a <= 0x31; ++a) {
        ReadStep(job, a);
        bytes[a - 0x30] = static_cast<uint8_t>(s.DataByte);
    }
    s.ControlByte = kReadLockBits;
    s.SendControlByte();
    s.ReadDataByte();  // at once, at the address still presented
    bytes[2] = static_cast<uint8_t>(s.DataByte);
    s.ControlByte = kReadFuse;
    s.SendControlByte();
    s.ReadDataByte();
    bytes[3] = static_cast<uint8_t>(s.DataByte);
    s.SetControlBit1();
    s.BoardIdle();
    return "Signature & Program Bits Info For " + std::string(job.chip.signatureName) + "\nByte-1          " +
           device::Hex2(bytes[0]) + "\nByte-2          " + device::Hex2(bytes[1]) + "\nLock Bit-1    " +
           LockState(bytes[2], 2) + "\nLock Bit-2    " + LockState(bytes[2], 1) + "\nLock Bit-3    " + LockState(bytes[2], 0) +
           "\nISP Bit         " + LockState(bytes[3], 0);
}

constexpr FamilyRoutines kRoutines{BlankCheck, Read, Verify, Write, ProgramLockBits, Signature};

}  // namespace

uint16_t LockDataByte(uint16_t programBits) {
    uint16_t byte = 0xFF;
    if (programBits & kLockBit1) byte &= ~0x80;
    if (programBits & kLockBit2) byte &= ~0x40;
    if (programBits & kLockBit3) byte &= ~0x20;
    return byte;
}

uint16_t FuseDataByte(uint16_t programBits) { return programBits & kIspFuse ? 0xFE : 0xFF; }

const FamilyRoutines& Routines() { return kRoutines; }

}  // namespace flash::isp
