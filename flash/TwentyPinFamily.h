// The 89C1051, 89C1051U, 89C2051 and 89C4051: no address pins, an address
// counter that starts at 0 when the reset is released and steps with each
// clock, and data pins wired in mirrored bit order.
#pragma once

#include "flash/Job.h"

namespace flash::twentypin {

void CounterStart(Job& job);
void ReadStep(Job& job, uint32_t address);
void ChipErase(Job& job);
void ProgramByte(Job& job, uint32_t address);
void NextByte(Job& job);

const FamilyRoutines& Routines();

}  // namespace flash::twentypin
