// The 89C51, 89C52 and 89C55: addressed in parallel, a 10 ms erase pulse,
// about 12 us programming pulses and 2 ms per byte. The ISP family builds on
// these steps.
#pragma once

#include "flash/Job.h"

namespace flash::standard {

// ControlByte mode values.
inline constexpr uint16_t kReadCode = 0x64;       // while a byte is read; 0x6C between reads
inline constexpr uint16_t kWriteCode = 0x6C;
inline constexpr uint16_t kReadSignature = 0x04;  // 0x0C between reads
inline constexpr uint16_t kChipErase = 0x14;

void PresentAddress(Job& job, uint32_t address);
void ReadStep(Job& job, uint32_t address);
void ChipErase(Job& job);
void ProgramByte(Job& job, uint32_t address);

const FamilyRoutines& Routines();

}  // namespace flash::standard
