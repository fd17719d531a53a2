#include "flash/TwentyPinFamily.h"

#include <utility>

#include "device/HexText.h"
#include "flash/Passes.h"

namespace flash::twentypin {
namespace {

using device::Outcome;

constexpr uint16_t kReadCode = 0x14;
constexpr uint16_t kWriteCode = 0x1C;
constexpr uint16_t kChipErase = 0x02;
constexpr uint16_t kReadSignature = 0x00;

Outcome ReadAndRest(Job& job, PassCheck check) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    CounterStart(job);
    s.ControlByte = kReadCode;
    s.SendControlByte();
    const Outcome outcome = ReadPass(job, check, ReadStep, NextByte);
    s.BoardIdle();
    return outcome;
}

Outcome BlankCheck(Job& job) { return ReadAndRest(job, PassCheck::Blank); }
void Read(Job& job) { ReadAndRest(job, PassCheck::Store); }
Outcome Verify(Job& job) { return ReadAndRest(job, PassCheck::Compare); }

Outcome Write(Job& job) {
    FlashSocket& s = job.s;
    device::ShowPassStart(job.progress);
    s.SetPowerFlagBit0();
    CounterStart(job);
    ChipErase(job);
    s.ControlByte = kWriteCode;
    s.SendControlByte();
    ProgramPass(job, ProgramByte, NextByte);
    // The counter back to 0, the supply staying on.
    s.SetControlBit1();
    s.AssertReset();
    s.ClockLow();
    s.Delay500ms();
    s.ReleaseReset();
    s.ClearControlBit0();
    s.ControlByte = kReadCode;
    s.SendControlByte();
    StartVerifyPass(job);
    const Outcome outcome = ReadPass(job, PassCheck::Compare, ReadStep, NextByte);
    s.BoardIdle();
    return outcome;
}

constexpr std::pair<uint16_t, uint16_t> kLockModes[] = {{kLockBit1, 0x1E}, {kLockBit2, 0x0A}};

void ProgramLockBits(Job& job, uint16_t programBits) {
    FlashSocket& s = job.s;
    s.SetPowerFlagBit0();
    CounterStart(job);
    s.ClearControlBit1();
    for (const auto& [bit, mode] : kLockModes) {
        if (!(programBits & bit)) continue;
        s.ControlByte = mode;
        s.SendControlByte();
        s.SetControlBit0();
        s.Delay100us();  // a 100 us pulse
        s.ClearControlBit0();
        s.Delay2ms();
    }
    s.SetControlBit1();
}

std::string Signature(Job& job) {
    FlashSocket& s = job.s;
    SignatureBytes bytes{};
    CounterStart(job);
    s.ControlByte = kReadSignature;
    s.SendControlByte();
    for (size_t i = 0; i < 2; ++i) {
        s.ReadDataByteReversed();
        bytes[i] = static_cast<uint8_t>(s.DataByte);
        s.AdvanceAddress();
    }
    s.BoardIdle();
    return "Signature Bytes Info For " + std::string(job.chip.signatureName) + "\nByte-1  = " + device::Hex2(bytes[0]) +
           "\nByte-2  = " + device::Hex2(bytes[1]);
}

constexpr FamilyRoutines kRoutines{BlankCheck, Read, Verify, Write, ProgramLockBits, Signature};

}  // namespace

void CounterStart(Job& job) {
    FlashSocket& s = job.s;
    s.AssertReset();
    s.ClockLow();
    s.PowerOn();
    s.ReleaseReset();  // the counter now points at address 0
}

// The counter holds the address: the step reads whatever it points at.
void ReadStep(Job& job, uint32_t) { job.s.ReadDataByteReversed(); }

void ChipErase(Job& job) {
    FlashSocket& s = job.s;
    s.ControlByte = kChipErase;
    s.SendControlByte();
    s.ClearControlBit1();  // programming voltage on
    s.Delay12us();
    s.SetControlBit0();
    s.Delay10ms();
    s.ClearControlBit0();
}

void ProgramByte(Job& job, uint32_t address) {
    FlashSocket& s = job.s;
    s.DataByte = job.image[address];
    s.ShiftOutDataReversed();
    s.SetControlBit0();
    s.ClearControlBit0();  // a pulse as long as one port write and one tick
    s.Delay2ms();
}

void NextByte(Job& job) { job.s.AdvanceAddress(); }

const FamilyRoutines& Routines() { return kRoutines; }

}  // namespace flash::twentypin
