// Corvina's main window: the flash device list and the program-bit boxes.
#pragma once

#include "shell/MainLogic.h"

namespace shell {

class CorvinaMain : public MainLogic {
public:
    CorvinaMain(CorvinaState& state, MainView& view, Hardware hardware, SettingsLocation settings)
        : MainLogic(state, view, hardware, std::move(settings)), state_(state) {}

    void cboTypeChange() override;
    void cmdSignatureClick() { RunCommand({nullptr, "SIGNATURE", &DeviceLayer::ReadSignature, Outcome::Report}); }
    void chkLB1Click() { ProgramBitClick(0); }
    void chkLB2Click() { ProgramBitClick(1); }
    void chkLB3Click() { ProgramBitClick(2); }
    void chkISPClick() { ProgramBitClick(3); }

    void SetDeviceSize();
    void RefreshProgramBits();

protected:
    void StartUp() override;
    void InitialRefresh() override;
    uint8_t SecondSetting() const override;
    void TakeSecondSetting(uint8_t value) override;
    uint16_t DeviceTypeCount() const override;
    std::string WriteSuccessText() const override;

private:
    void ProgramBitClick(int bit);
    // Sets a box as the window toolkit would: a change of state runs its click handler.
    void SetBox(int bit, bool checked);

    CorvinaState& state_;
};

}  // namespace shell
