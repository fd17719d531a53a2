// The progress bar on standard error: the command, the address, the percent
// of the chip and the time since the command began, redrawn on one line.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "device/Progress.h"

namespace cli {

class ProgressBar : public device::ProgressSink {
public:
    ProgressBar(std::string_view activity, uint32_t size) : activity_(activity), size_(size ? size : 1) {}
    ~ProgressBar() override {
        if (drawn_) std::fputs("\n", stderr);
    }

    void ShowProgress(uint16_t address) override {
        address_ = address;
        Draw();
    }
    void ShowActivity(std::string_view word) override {
        activity_ = word;
        Draw();
    }

private:
    void Draw() {
        const uint32_t percent = std::min<uint32_t>(100, (uint32_t{address_} + 1) * 100 / size_);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        std::fprintf(stderr, "\r%-14s %04X %3u%% %6.1f s", activity_.c_str(), address_, percent, elapsed);
        std::fflush(stderr);
        drawn_ = true;
    }

    std::string activity_;
    uint32_t size_;
    uint16_t address_ = 0;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace cli
