#include "shell/QuillonDevice.h"

#include "eeprom/EepromEntries.h"

namespace shell {
namespace {

eeprom::Request RequestOf(QuillonState& state, device::ProgressSink& progress) {
    return {state.DeviceType, state.DataBuffer, progress, {state.BufferStart, state.BufferEnd, state.DeviceStart},
            state.WriteDelayTicks};
}

}  // namespace

std::string QuillonDevice::BlankCheckDevice(device::ProgressSink& progress) {
    return eeprom::BlankCheckDevice(socket_, RequestOf(state_, progress));
}

std::string QuillonDevice::ReadDevice(device::ProgressSink& progress) {
    return eeprom::ReadDevice(socket_, RequestOf(state_, progress));
}

std::string QuillonDevice::WriteDevice(device::ProgressSink& progress) {
    return eeprom::WriteDevice(socket_, RequestOf(state_, progress));
}

std::string QuillonDevice::VerifyDevice(device::ProgressSink& progress) {
    return eeprom::VerifyDevice(socket_, RequestOf(state_, progress));
}

std::string QuillonDevice::EraseDevice(device::ProgressSink& progress) {
    return eeprom::EraseDevice(socket_, RequestOf(state_, progress));
}

void QuillonDevice::StartUpBoard() { eeprom::StartUpBoard(board_); }

void QuillonDevice::BoardIdle() { eeprom::BoardIdle(socket_); }

void QuillonDevice::RestAtStart() { eeprom::RestAtStart(socket_); }

}  // namespace shell
