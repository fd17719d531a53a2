// How a routine tells the user where it is: the window draws the two progress
// labels, a command line prints, a test records.
#pragma once

#include <cstdint>
#include <string_view>

namespace device {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // The address shown, with its low 8 bits set: 00FF, 01FF, ...
    virtual void ShowProgress(uint16_t progressAddress) = 0;
    // The activity word, when a routine moves on to another pass ("Verifying").
    virtual void ShowActivity(std::string_view word) = 0;
};

// Progress for those who do not watch.
class NoProgress : public ProgressSink {
public:
    void ShowProgress(uint16_t) override {}
    void ShowActivity(std::string_view) override {}
};

// A pass over the chip starts: 00FF.
inline void ShowPassStart(ProgressSink& progress) { progress.ShowProgress(0x00FF); }

// Inside a pass: every 256 addresses, 01FF, 02FF, ...
inline void ShowProgressAt(ProgressSink& progress, uint32_t address) {
    if (address != 0 && address % 256 == 0) progress.ShowProgress(static_cast<uint16_t>(address | 0xFF));
}

}  // namespace device
