// Quillon's device layer as the main window calls it: the EEPROM entries on
// the selected device, the buffer, the address window and the write delay of
// the state.
#pragma once

#include "eeprom/EepromSocket.h"
#include "shell/AppState.h"
#include "shell/DeviceLayer.h"

namespace shell {

class QuillonDevice : public DeviceLayer {
public:
    QuillonDevice(QuillonState& state, io::Board& board) : state_(state), board_(board), socket_(board) {}

    std::string BlankCheckDevice(device::ProgressSink& progress) override;
    std::string ReadDevice(device::ProgressSink& progress) override;
    std::string WriteDevice(device::ProgressSink& progress) override;
    std::string VerifyDevice(device::ProgressSink& progress) override;
    std::string EraseDevice(device::ProgressSink& progress) override;
    void StartUpBoard() override;
    void BoardIdle() override;
    void RestAtStart() override;

private:
    QuillonState& state_;
    io::Board& board_;
    eeprom::EepromSocket socket_;
};

}  // namespace shell
