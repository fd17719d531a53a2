#include "programs/FlashChipKind.h"

#include <sstream>

#include "flash/FlashCatalogue.h"

namespace programs {

std::string_view FlashChipKind::ChipOf(uint16_t deviceType) {
    const flash::DeviceEntry* device = flash::FindDevice(deviceType);
    return device ? device->chip : std::string_view{};
}

std::string StateText(const sim::FlashChipState& state) {
    return "lock-bits " + std::to_string(state.lockBits) + "\nserial-fuse " +
           (state.serialFuseEnabled ? "enabled" : "disabled") + "\n";
}

bool TakeStateText(const std::string& text, const sim::FlashChip& chip, sim::FlashChipState& state) {
    std::istringstream lines(text);
    std::string line;
    int lockBits = -1, fuse = -1;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string key, value, extra;
        if (!(fields >> key)) continue;  // a blank line
        if (!(fields >> value) || fields >> extra) return false;
        if (key == "lock-bits" && lockBits < 0 && value.size() == 1 && value[0] >= '0' && value[0] <= '7')
            lockBits = value[0] - '0';
        else if (key == "serial-fuse" && fuse < 0 && (value == "enabled" || value == "disabled"))
            fuse = value == "enabled";
        else
            return false;
    }
    // Lock bits the part does not have cannot have been programmed.
    if (lockBits < 0 || fuse < 0 || (lockBits & ~chip.Family().lockBitsPresent)) return false;
    state.lockBits = static_cast<uint8_t>(lockBits);
    state.serialFuseEnabled = fuse;
    return true;
}

}  // namespace programs

