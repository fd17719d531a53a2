#include "eeprom/EepromRoutines.h"

namespace eeprom {
namespace {

using device::Outcome;

// Progress as these routines count it: the block of the first address, then
// before every 256th byte the block of that byte's address.
class ByteCounter {
public:
    ByteCounter(device::ProgressSink& progress, uint32_t first) : progress_(progress) { Show(first); }
    void Next(uint32_t address) {
        if (count_ == 256) Show(address);
        ++count_;
    }

private:
    void Show(uint32_t address) {
        progress_.ShowProgress(static_cast<uint16_t>(address | 0xFF));
        count_ = 0;
    }
    device::ProgressSink& progress_;
    int count_ = 0;
};

// The supply on (the write strobe inactive before it comes up), the outputs
// enabled for reading or disabled for programming, and the chip selected.
enum class Outputs { Enabled, Disabled };

void PowerUp(EepromSocket& s, Outputs outputs) {
    s.PrepareWriteLine();
    s.PowerOn();
    if (outputs == Outputs::Enabled)
        s.EnableDeviceOutput();
    else
        s.DisableDeviceOutput();
    s.SelectDevice();
}

// Device addresses `first` onwards, `count` bytes, each read and checked
// against the buffer from `bufferFirst` (or against 0xFF without a buffer).
enum class Check { Blank, Compare };

Outcome CheckPass(Job& job, Check check, uint32_t first, uint32_t bufferFirst, uint32_t count, ByteCounter& counter) {
    EepromSocket& s = job.s;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t a = first + i;
        counter.Next(a);
        s.PresentAddress(a);
        s.ReadDataByte();
        const uint16_t expected = check == Check::Blank ? 0xFF : job.image[bufferFirst + i];
        if (s.DataByte != expected)
            return check == Check::Blank ? Outcome::FailedAt(a, s.DataByte) : Outcome::FailedAt(a, s.DataByte, expected);
    }
    return Outcome::Good();
}

uint32_t WindowBytes(const Window& w) { return static_cast<uint32_t>(w.bufferEnd - w.bufferStart) + 1; }

// The read-back after programming: output enabled, "Verifying", progress from the start again.
ByteCounter StartCheckPass(Job& job, uint32_t first) {
    EepromSocket& s = job.s;
    s.ReadDataByte();  // releases the data bus; the byte is of no use
    s.EnableDeviceOutput();
    job.progress.ShowActivity("Verifying");
    return ByteCounter(job.progress, first);
}

}  // namespace

void Read(Job& job) {
    EepromSocket& s = job.s;
    ByteCounter counter(job.progress, 0);
    PowerUp(s, Outputs::Enabled);
    for (uint32_t a = 0; a < job.chip.size; ++a) {
        counter.Next(a);
        s.PresentAddress(a);
        s.ReadDataByte();
        job.image[a] = s.DataByte;
    }
    s.BoardIdle();
}

Outcome BlankCheck(Job& job) {
    EepromSocket& s = job.s;
    ByteCounter counter(job.progress, 0);
    PowerUp(s, Outputs::Enabled);
    const Outcome outcome = CheckPass(job, Check::Blank, 0, 0, job.chip.size, counter);
    s.BoardIdle();  // after the last byte or the first failing one
    return outcome;
}

Outcome Verify(Job& job) {
    EepromSocket& s = job.s;
    const Window& w = job.window;
    ByteCounter counter(job.progress, w.deviceStart);
    PowerUp(s, Outputs::Enabled);
    const Outcome outcome = CheckPass(job, Check::Compare, w.deviceStart, w.bufferStart, WindowBytes(w), counter);
    s.BoardIdle();  // after the last byte or the first failing one
    return outcome;
}

Outcome Write(Job& job) {
    EepromSocket& s = job.s;
    const Window& w = job.window;
    ByteCounter counter(job.progress, w.deviceStart);
    PowerUp(s, Outputs::Disabled);
    for (uint32_t i = 0; i < WindowBytes(w); ++i) {
        const uint32_t a = w.deviceStart + i;
        counter.Next(a);
        s.PresentAddress(a);
        s.DataByte = job.image[w.bufferStart + i];
        s.ShiftOutData();  // the bus register drives the byte
        s.PulseWrite();
        s.DelayWrite(job.writeDelayTicks);
    }
    ByteCounter check = StartCheckPass(job, w.deviceStart);
    const Outcome outcome = CheckPass(job, Check::Compare, w.deviceStart, w.bufferStart, WindowBytes(w), check);
    s.BoardIdle();  // after the last byte or the first failing one
    return outcome;
}

Outcome Erase(Job& job) {
    EepromSocket& s = job.s;
    ByteCounter counter(job.progress, 0);
    PowerUp(s, Outputs::Disabled);
    s.DataByte = 0xFF;
    for (uint32_t a = 0; a < job.chip.size; ++a) {
        counter.Next(a);
        s.PresentAddress(a);
        s.ShiftOutData();
        s.PulseWrite();
        s.DelayWrite(job.writeDelayTicks);
    }
    ByteCounter check = StartCheckPass(job, 0);
    const Outcome outcome = CheckPass(job, Check::Blank, 0, 0, job.chip.size, check);
    s.BoardIdle();  // after the last byte or the first failing one
    return outcome;
}

}  // namespace eeprom
