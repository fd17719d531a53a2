// The 89C55WD and 89C51RC: read without strobing P2.7, address bit 14 on its
// own line, short pulses with fixed waits, and an erase in two full passes.
#pragma once

#include "flash/Job.h"

namespace flash::wd {

void PresentAddress(Job& job, uint32_t address);
void ReadStep(Job& job, uint32_t address);
void EraseTwice(Job& job);
void ProgramByte(Job& job, uint32_t address);

const FamilyRoutines& Routines();

}  // namespace flash::wd
