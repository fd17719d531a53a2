#include "shell/QuillonMain.h"

#include "eeprom/AddressField.h"
#include "eeprom/EepromCatalogue.h"
#include "device/HexText.h"

namespace shell {

using device::Hex4;

// An address field: its control, the state it sets and how it corrects what was typed.
struct QuillonMain::FieldRule {
    Ctl field;
    uint16_t QuillonState::*value;
    eeprom::AddressRule rule;
};

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

void QuillonMain::edtBufStartExit() {
    AddressFieldExit({Ctl::edtBufStart, &QuillonState::BufferStart, eeprom::kBufferStartRule});
}

void QuillonMain::edtBufEndExit() {
    AddressFieldExit({Ctl::edtBufEnd, &QuillonState::BufferEnd, eeprom::kBufferEndRule});
}

void QuillonMain::edtE2StartExit() {
    AddressFieldExit({Ctl::edtE2Start, &QuillonState::DeviceStart, eeprom::kDeviceStartRule});
}

void QuillonMain::AddressFieldExit(const FieldRule& rule) {
    if (Refused()) return;
    const uint16_t value =
        eeprom::AddressFieldValue(view_.Text(rule.field), rule.rule, eeprom::FindDevice(state_.DeviceType));
    state_.*rule.value = value;
    view_.SetText(rule.field, Hex4(value));
}

}  // namespace shell
