// A socket that holds no chip but watches the lines: the pulses under
// programming voltage with the mode and data they were given in, the 20-pin counter clocks, the supply changes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/Socket.h"

namespace test {

struct Pulse {
    uint8_t mode;                  // the control register at the pulse
    std::optional<uint8_t> data;   // what the bus drove
    uint64_t start, width;         // ns
};

class SocketProbe : public sim::SocketChip {
public:
    void LinesChanged(const sim::SocketLines& lines, uint64_t now) override {
        const bool pulse = lines.controlPort & 0x01, clock = lines.addressHigh & 0x01;
        const bool vpp = !(lines.controlPort & 0x02);
        if (lines.SupplyOn() && vpp && pulse && !pulsing_) pulses.push_back({lines.controlRegister, lines.bus, now, 0});
        if (pulsing_ && !pulse && !pulses.empty()) pulses.back().width = now - pulses.back().start;
        if (lines.SupplyOn() && clock && !clock_) ++counterClocks;
        if (lines.SupplyOn() != supply_) supplyChanges.push_back(now);
        pulsing_ = pulse;
        clock_ = clock;
        supply_ = lines.SupplyOn();
    }
    std::optional<uint8_t> DriveData(const sim::SocketLines&, uint64_t) override { return std::nullopt; }

    std::vector<Pulse> pulses;
    std::vector<uint64_t> supplyChanges;
    int counterClocks = 0;

private:
    bool pulsing_ = false, clock_ = false, supply_ = false;
};

}  // namespace test
