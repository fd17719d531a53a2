#include "programs/VirtualChips.h"

#include "device/Outcome.h"
#include "flash/FlashCatalogue.h"
#include "programs/ChipFiles.h"

namespace programs {

sim::FlashChip* VirtualChips::Chip(std::string_view name) {
    auto found = chips_.find(name);
    if (found == chips_.end()) found = chips_.emplace(std::string(name), sim::FlashChip::Make(name)).first;
    return found->second.get();
}

std::string VirtualChips::Run(Entry entry, device::ProgressSink& progress) {
    const flash::DeviceEntry* device = flash::FindDevice(state_.DeviceType);
    sim::FlashChip* chip = device ? Chip(device->chip) : nullptr;
    if (!chip) {  // an empty socket; the device layer says what is wrong with the device type
        bench_.Insert(nullptr);
        return (device_.*entry)(progress);
    }
    // The files are read before every command: they, not this process, hold the chip.
    const ChipFiles files(folder_, *chip);
    sim::FlashChipState loaded;
    loaded.memory.assign(chip->Size(), 0xFF);
    if (std::string refused = files.Load(loaded); !refused.empty()) return refused;
    chip->State() = loaded;
    bench_.Insert(chip);
    std::string result;
    try {
        result = (device_.*entry)(progress);
    } catch (...) {
        (void)files.Save(loaded, chip->State());  // what the chip took before the failure stays taken
        throw;
    }
    const std::string unsaved = files.Save(loaded, chip->State());
    if (unsaved.empty()) return result;
    return result == device::kResultOk ? unsaved : result + "\n\n" + unsaved;
}

}  // namespace programs
