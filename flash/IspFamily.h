// The 89S53 and 89S8252 in parallel mode: the standard sequences under
// programming voltage throughout, lock bits and the ISP fuse as data bytes.
#pragma once

#include "flash/Job.h"

namespace flash::isp {

// The data bytes the lock routine sends: a programmed bit is a 0.
uint16_t LockDataByte(uint16_t programBits);
uint16_t FuseDataByte(uint16_t programBits);

const FamilyRoutines& Routines();

}  // namespace flash::isp
