// Quillon's main window: the EEPROM device list, the write delay and the
// address window fields.
#pragma once

#include "shell/MainLogic.h"

namespace shell {

class QuillonMain : public MainLogic {
public:
    QuillonMain(QuillonState& state, MainView& view) : MainLogic(state, view), state_(state) {}

    void cboTypeChange() override;
    void cboWriteDelayChange();
    void edtBufStartExit();
    void edtBufEndExit();
    void edtE2StartExit();
    void mnuDeviceInfoClick() { view_.ShowModal(Window::DeviceInfo); }

    void SetAddressLimits();
    void SetWriteDelayTicks();

protected:
    void StartUp() override;
    void InitialRefresh() override;

private:
    struct FieldRule;
    void AddressFieldExit(const FieldRule& rule);

    QuillonState& state_;
};

}  // namespace shell
