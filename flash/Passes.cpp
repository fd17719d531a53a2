#include "flash/Passes.h"

namespace flash {

device::Outcome ReadPass(Job& job, PassCheck check, AddressStep readStep, NextByte next) {
    for (uint32_t a = 0; a < job.chip.size; ++a) {
        device::ShowProgressAt(job.progress, a);
        readStep(job, a);
        const uint16_t read = job.s.DataByte;
        if (check == PassCheck::Store) job.image[a] = read;
        if (check == PassCheck::Blank && read != 0xFF) return device::Outcome::FailedAt(a, read);
        if (check == PassCheck::Compare && read != job.image[a]) return device::Outcome::FailedAt(a, read, job.image[a]);
        if (next) next(job);
    }
    return device::Outcome::Good();
}

void ProgramPass(Job& job, AddressStep programByte, NextByte next) {
    for (uint32_t a = 0; a < job.chip.size; ++a) {
        device::ShowProgressAt(job.progress, a);
        if (job.image[a] != 0xFF) programByte(job, a);
        if (next) next(job);
    }
}

void StartVerifyPass(Job& job) {
    job.progress.ShowActivity("Verifying");
    device::ShowPassStart(job.progress);
}

}  // namespace flash
