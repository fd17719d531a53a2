// corvina-sim's socket: a chip of each device type that keeps its memory,
// lock bits and fuse in files between runs (see ChipFiles). It wraps the
// program's device layer: before each entry it seats the chip of the selected
// device, as its files hold it, and afterwards saves what the entry changed.
// A file it cannot take is reported instead of running the entry, so that
// nothing overwrites it.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "shell/AppState.h"
#include "shell/DeviceLayer.h"
#include "sim/Bench.h"
#include "sim/FlashChip.h"

namespace programs {

class VirtualChips : public shell::DeviceLayer {
public:
    VirtualChips(const shell::AppState& state, sim::Bench& bench, shell::DeviceLayer& device,
                 std::filesystem::path folder)
        : state_(state), bench_(bench), device_(device), folder_(std::move(folder)) {}

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
    sim::FlashChip* Chip(std::string_view name);

private:
    using Entry = std::string (shell::DeviceLayer::*)(device::ProgressSink&);
    std::string Run(Entry entry, device::ProgressSink& progress);

    const shell::AppState& state_;
    sim::Bench& bench_;
    shell::DeviceLayer& device_;
    std::filesystem::path folder_;
    std::map<std::string, std::unique_ptr<sim::FlashChip>, std::less<>> chips_;
};

}  // namespace programs
