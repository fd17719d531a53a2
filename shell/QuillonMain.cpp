#include "shell/QuillonMain.h"

#include "eeprom/EepromCatalogue.h"
#include "device/HexText.h"

namespace shell {

using device::Hex4;
using device::ParseHex;

// How an address field corrects what was typed. A text that is not a hex
// number, or a value above the buffer, becomes `fallback`; a value beyond the
// selected device becomes 0, or the device's last address for an end field.
struct QuillonMain::FieldRule {
    Ctl field;
    uint16_t QuillonState::*value;
    uint16_t fallback;
    bool clampToDeviceEnd;
};

namespace {

constexpr uint16_t kHighestAddress = 0x7FFF;

}  // namespace

void QuillonMain::StartUp() {
    state_.EraseBuffer();
    state_.DeviceType = 2;
    state_.WriteDelayIndex = eeprom::kLongDelayIndex;
    state_.PortBase = io::kDefaultPortBase;
    LoadSettings();
    PrepareBoard();
}

uint8_t QuillonMain::SecondSetting() const { return static_cast<uint8_t>(state_.WriteDelayIndex); }

void QuillonMain::TakeSecondSetting(uint8_t value) {
    if (eeprom::FindWriteDelay(value)) state_.WriteDelayIndex = value;
}

uint16_t QuillonMain::DeviceTypeCount() const { return static_cast<uint16_t>(eeprom::Catalogue().size()); }

void QuillonMain::InitialRefresh() {
    RefreshFileLabel();
    SetAddressLimits();
    RefreshPortMenu();
    RefreshGrid();
    SetWriteDelayTicks();
    view_.SetVisible(Ctl::stxCmd, false);
    view_.SetVisible(Ctl::stxAdres, false);
    view_.SetItemIndex(Ctl::cboType, eeprom::FindDevice(state_.DeviceType) ? state_.DeviceType : -1);
    view_.SetItemIndex(Ctl::cboWriteDelay, eeprom::FindWriteDelay(state_.WriteDelayIndex) ? state_.WriteDelayIndex : -1);
    ShowChecksum();
}

void QuillonMain::cboTypeChange() {
    if (Refused()) return;
    state_.DeviceType = static_cast<uint16_t>(view_.ItemIndex(Ctl::cboType));
    SetAddressLimits();
    ShowChecksum();
    const eeprom::DeviceEntry* device = eeprom::FindDevice(state_.DeviceType);
    if (device && device->forcesLongDelay) {
        state_.WriteDelayIndex = eeprom::kLongDelayIndex;
        view_.SetItemIndex(Ctl::cboWriteDelay, eeprom::kLongDelayIndex);
        SetWriteDelayTicks();
    }
}

void QuillonMain::cboWriteDelayChange() {
    if (Refused()) return;
    state_.WriteDelayIndex = static_cast<uint16_t>(view_.ItemIndex(Ctl::cboWriteDelay));
    SetWriteDelayTicks();
}

void QuillonMain::SetAddressLimits() {
    view_.SetText(Ctl::edtBufStart, "0000");
    view_.SetText(Ctl::edtE2Start, "0000");
    state_.DeviceStart = 0;
    state_.BufferStart = 0;
    const eeprom::DeviceEntry* device = eeprom::FindDevice(state_.DeviceType);
    if (!device) return;
    state_.DeviceSize = device->size;
    state_.BufferEnd = static_cast<uint16_t>(device->size - 1);
    view_.SetText(Ctl::edtBufEnd, Hex4(state_.BufferEnd));
}

void QuillonMain::SetWriteDelayTicks() {
    if (const eeprom::WriteDelay* delay = eeprom::FindWriteDelay(state_.WriteDelayIndex))
        state_.WriteDelayTicks = delay->ticks;
}

void QuillonMain::edtBufStartExit() { AddressFieldExit({Ctl::edtBufStart, &QuillonState::BufferStart, 0, false}); }

void QuillonMain::edtBufEndExit() {
    AddressFieldExit({Ctl::edtBufEnd, &QuillonState::BufferEnd, kHighestAddress, true});
}

void QuillonMain::edtE2StartExit() {
    AddressFieldExit({Ctl::edtE2Start, &QuillonState::DeviceStart, kHighestAddress, false});
}

void QuillonMain::AddressFieldExit(const FieldRule& rule) {
    if (Refused()) return;
    const auto typed = ParseHex(view_.Text(rule.field));
    uint16_t value = typed ? static_cast<uint16_t>(*typed) : rule.fallback;
    if (value > kHighestAddress) value = rule.fallback;
    if (const eeprom::DeviceEntry* device = eeprom::FindDevice(state_.DeviceType); device && value >= device->size)
        value = rule.clampToDeviceEnd ? static_cast<uint16_t>(device->size - 1) : 0;
    state_.*rule.value = value;
    view_.SetText(rule.field, Hex4(value));
}

}  // namespace shell
