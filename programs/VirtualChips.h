// A -sim program's socket: a chip of each device type that keeps what it
// holds in files between runs (see ChipFiles), the chips of one kind
// (FlashChipKind for corvina-sim, EepromChipKind for quillon-sim). It wraps
// the program's device layer: before each entry it seats the chip of the
// selected device, as its files hold it, and afterwards saves what the entry
// changed. A file it cannot take is reported instead of running the entry, so
// that nothing overwrites it.
//
// A kind names its chip model and what persists of it (Chip, State with its
// memory), the part of a device type (ChipOf), its rest file (kRest) and that
// file's text (RestText, TakeRestText).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "device/Outcome.h"
#include "programs/ChipFiles.h"
#include "shell/AppState.h"
#include "shell/DeviceLayer.h"
#include "sim/Bench.h"

namespace programs {

// The lock that keeps two programs off the chips of one folder.
inline std::string ChipsLockName(const std::filesystem::path& folder) {
    return "corvina-quillon-chips-" + std::to_string(std::hash<std::string>{}(folder.string()));
}

template <class Kind>
class VirtualChips : public shell::DeviceLayer {
public:
    using Model = typename Kind::Chip;
    using State = typename Kind::State;

    VirtualChips(const shell::AppState& state, sim::Bench& bench, shell::DeviceLayer& device,
                 std::filesystem::path folder)
        : state_(state), bench_(bench), device_(device), folder_(std::move(folder)) {
        bench_.ShareAs(ChipsLockName(folder_));  // one command at a time on these chips, whichever program runs it
    }

    std::string BlankCheckDevice(device::ProgressSink& p) override { return Run(&DeviceLayer::BlankCheckDevice, p); }
    std::string ReadDevice(device::ProgressSink& p) override { return Run(&DeviceLayer::ReadDevice, p); }
    std::string WriteDevice(device::ProgressSink& p) override { return Run(&DeviceLayer::WriteDevice, p); }
    std::string VerifyDevice(device::ProgressSink& p) override { return Run(&DeviceLayer::VerifyDevice, p); }
    std::string EraseDevice(device::ProgressSink& p) override { return Run(&DeviceLayer::EraseDevice, p); }
    std::string ReadSignature(device::ProgressSink& p) override { return Run(&DeviceLayer::ReadSignature, p); }
    void StartUpBoard() override { device_.StartUpBoard(); }
    void BoardIdle() override { device_.BoardIdle(); }
    void RestAtStart() override { device_.RestAtStart(); }

    // The chip model of that name, made when first asked for; nullptr for a name the bench has no model of.
    Model* Chip(std::string_view name);

private:
    using Entry = std::string (shell::DeviceLayer::*)(device::ProgressSink&);

    std::string Run(Entry entry, device::ProgressSink& progress);

    const shell::AppState& state_;
    sim::Bench& bench_;
    shell::DeviceLayer& device_;
    std::filesystem::path folder_;
    std::map<std::string, std::unique_ptr<Model>, std::less<>> chips_;
};

template <class Kind>
typename Kind::Chip* VirtualChips<Kind>::Chip(std::string_view name) {
    auto found = chips_.find(name);
    if (found == chips_.end()) found = chips_.emplace(std::string(name), Model::Make(name)).first;
    return found->second.get();
}

template <class Kind>
std::string VirtualChips<Kind>::Run(Entry entry, device::ProgressSink& progress) {
    const std::string_view name = Kind::ChipOf(state_.DeviceType);
    Model* chip = name.empty() ? nullptr : Chip(name);
    if (!chip) {  // an empty socket; the device layer says what is wrong with the device type
        bench_.Insert(nullptr);
        return (device_.*entry)(progress);
    }
    // The files are read before every command: they, not this process, hold the chip.
    const ChipFiles files(folder_, std::string(chip->Name()), chip->Size(), Kind::kRest);
    State loaded;
    loaded.memory.assign(chip->Size(), 0xFF);
    std::optional<std::string> rest;
    if (std::string refused = files.Load(loaded.memory, rest); !refused.empty()) return refused;
    if (rest && !Kind::TakeRestText(*rest, *chip, loaded)) return files.RestNotTaken();
    chip->State() = loaded;
    bench_.Insert(chip);
    // Only the files whose part changed are replaced.
    const auto save = [&] {
        const State& now = chip->State();
        const std::string text = Kind::RestText(now);
        const bool restChanged = text != Kind::RestText(loaded);
        return files.Save(now.memory != loaded.memory ? &now.memory : nullptr, restChanged ? &text : nullptr);
    };
    std::string result;
    try {
        result = (device_.*entry)(progress);
    } catch (...) {
        (void)save();  // what the chip took before the failure stays taken
        throw;
    }
    const std::string unsaved = save();
    if (unsaved.empty()) return result;
    return result == device::kResultOk ? unsaved : result + "\n\n" + unsaved;
}

}  // namespace programs
