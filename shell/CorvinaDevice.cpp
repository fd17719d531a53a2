#include "shell/CorvinaDevice.h"

#include "flash/FlashEntries.h"

namespace shell {
namespace {

flash::Request RequestOf(CorvinaState& state, device::ProgressSink& progress) {
    return {state.DeviceType, state.DataBuffer, progress, state.ProgramBits};
}

}  // namespace

std::string CorvinaDevice::BlankCheckDevice(device::ProgressSink& progress) {
    return flash::BlankCheckDevice(socket_, RequestOf(state_, progress));
}

std::string CorvinaDevice::ReadDevice(device::ProgressSink& progress) {
    return flash::ReadDevice(socket_, RequestOf(state_, progress));
}

std::string CorvinaDevice::WriteDevice(device::ProgressSink& progress) {
    return flash::WriteDevice(socket_, RequestOf(state_, progress));
}

std::string CorvinaDevice::VerifyDevice(device::ProgressSink& progress) {
    return flash::VerifyDevice(socket_, RequestOf(state_, progress));
}

std::string CorvinaDevice::ReadSignature(device::ProgressSink& progress) {
    return flash::ReadSignature(socket_, RequestOf(state_, progress));
}

void CorvinaDevice::StartUpBoard() { flash::StartUpBoard(board_); }

void CorvinaDevice::BoardIdle() { flash::BoardIdle(socket_, state_.DeviceType); }

}  // namespace shell
