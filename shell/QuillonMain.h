// Quillon's main window: the EEPROM device list, the write delay and the
// address window fields.
#pragma once

#include "shell/MainLogic.h"

namespace shell {

class QuillonMain : public MainLogic {
public:
    QuillonMain(QuillonState& state, MainView& view, Hardware hardware, SettingsLocation settings)
        : MainLogic(state, view, hardware, std::move(settings)), state_(state) {}

    void cboTypeChange() override;
    void cmdEraseClick() { RunCommand({"Erasing", "ERASE", &DeviceLayer::EraseDevice, Outcome::Checked, "Erasing OK"}); }
    void cboWriteDelayChange();
    void edtBufStartExit();
    void edtBufEndExit();
    void edtE2StartExit();
    void mnuDeviceInfoClick() {
        if (!Refused()) view_.ShowModal(Window::DeviceInfo);
    }

    void SetAddressLimits();
    void SetWriteDelayTicks();

protected:
    void StartUp() override;
    void InitialRefresh() override;
    uint8_t SecondSetting() const override;
    void TakeSecondSetting(uint8_t value) override;
    uint16_t DeviceTypeCount() const override;

private:
    struct FieldRule;
    void AddressFieldExit(const FieldRule& rule);

    QuillonState& state_;
};

}  // namespace shell
