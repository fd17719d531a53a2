#include "flash/StandardFamily.h"

#include <utility>

#include "device/HexText.h"
#include "flash/Passes.h"

namespace flash::standard {
namespace {

using device::Outcome;

void ReadSetUp(Job& job) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    s.PowerOn();
    s.ControlByte = kReadCode;
    s.DisableDeviceOutput();
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
    s.SetPowerFlagBit0();
    s.PowerOn();
    ChipErase(job);
    s.ControlByte = kWriteCode;
    s.SendControlByte();
    ProgramPass(job, ProgramByte);
    s.SetControlBit1();  // programming voltage off
    s.Delay500ms();
    s.ControlByte = kReadCode;
    s.DisableDeviceOutput();
    s.Delay12us();
    StartVerifyPass(job);
    const Outcome outcome = ReadPass(job, PassCheck::Compare, ReadStep);
    s.BoardIdle();
    return outcome;
}

// Lock Bit-1, -2 and -3 in this order, each its own pulse in its own mode.
constexpr std::pair<uint16_t, uint16_t> kLockModes[] = {{kLockBit1, 0x7C}, {kLockBit2, 0x1C}, {kLockBit3, 0x34}};

void ProgramLockBits(Job& job, uint16_t programBits) {
    FlashSocket& s = job.s;
    s.SetPowerFlagBit0();
    s.PowerOn();
    s.ClearControlBit1();
    for (const auto& [bit, mode] : kLockModes) {
        if (!(programBits & bit)) continue;
        s.ControlByte = mode;
        s.SendControlByte();
        s.Delay12us();
        s.SetControlBit0();
        s.Delay12us();
        s.ClearControlBit0();
        s.Delay2ms();
    }
    s.SetControlBit1();
}

std::string Signature(Job& job) {
    FlashSocket& s = job.s;
    SignatureBytes bytes{};
    s.PowerOn();
    s.ControlByte = kReadSignature;
    s.DisableDeviceOutput();
    s.Delay12us();
    for (uint32_t a = 0x30; a <= 0x32; ++a) {
        ReadStep(job, a);
        bytes[a - 0x30] = static_cast<uint8_t>(s.DataByte);
    }
    s.BoardIdle();
    return "Signature Bytes Info For " + std::string(job.chip.signatureName) + "\nByte-1  = " + device::Hex2(bytes[0]) +
           "\nByte-2  = " + device::Hex2(bytes[1]) + "\nByte-3  = " + device::Hex2(bytes[2]);
}

constexpr FamilyRoutines kRoutines{BlankCheck, Read, Verify, Write, ProgramLockBits, Signature};

}  // namespace

void PresentAddress(Job& job, uint32_t address) {
    FlashSocket& s = job.s;
    s.AddressLow = address & 0xFF;
    s.AddressHigh = static_cast<uint16_t>(address >> 8);
    if (job.chip.addressBit12Set) s.AddressHigh |= 0x10;
    s.SendAddressLow();
    s.SendAddressHigh();
}

void ReadStep(Job& job, uint32_t address) {
    FlashSocket& s = job.s;
    PresentAddress(job, address);
    s.Delay12us();
    s.EnableDeviceOutput();
    s.Delay12us();
    s.ReadDataByte();
    s.DisableDeviceOutput();
    s.Delay12us();
}

void ChipErase(Job& job) {
    FlashSocket& s = job.s;
    s.ControlByte = kChipErase;
    s.SendControlByte();
    s.ClearControlBit1();  // programming voltage on
    s.Delay12us();
    s.SetControlBit0();
    s.Delay10ms();  // the 10 ms erase pulse
    s.ClearControlBit0();
}

void ProgramByte(Job& job, uint32_t address) {
    FlashSocket& s = job.s;
    PresentAddress(job, address);
    s.DataByte = job.image[address];
    s.ShiftOutData();
    s.Delay12us();
    s.SetControlBit0();
    s.Delay12us();
    s.ClearControlBit0();  // a programming pulse of about 12 us
    s.Delay2ms();          // the chip's self-timed byte write
}

const FamilyRoutines& Routines() { return kRoutines; }

}  // namespace flash::standard
