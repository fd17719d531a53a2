// The address loops every family shares: a pass that reads each byte of the
// chip and checks or keeps it, and a pass that programs each byte that is not
// 0xFF. The family gives the step for one address.
#pragma once

#include <cstdint>

#include "device/Outcome.h"
#include "flash/Job.h"

namespace flash {

enum class PassCheck {
    Blank,    // stop at the first byte that is not 0xFF
    Store,    // keep every byte in the image
    Compare,  // stop at the first byte that differs from the image
};

using AddressStep = void (*)(Job&, uint32_t address);
using NextByte = void (*)(Job&);

// Addresses 0 to the chip's size - 1: progress, `readStep` (the byte in
// DataByte), the check; `next` after each byte that passed (the 20-pin
// counter). The routine's set-up has shown the pass start.
device::Outcome ReadPass(Job& job, PassCheck check, AddressStep readStep, NextByte next = nullptr);

// Addresses 0 to the chip's size - 1: progress, `programByte` unless the image
// holds 0xFF there (the erased chip already does), `next` after every address.
void ProgramPass(Job& job, AddressStep programByte, NextByte next = nullptr);

// The write's verify pass begins: the activity word changes and the progress starts over.
void StartVerifyPass(Job& job);

// How a read-back program bit is reported: a programmed bit reads 0.
inline const char* LockState(uint16_t byte, int bit) { return (byte >> bit) & 1 ? "OFF" : "ON"; }

}  // namespace flash
