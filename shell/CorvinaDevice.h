// Corvina's device layer as the main window calls it: the flash entries on
// the selected device, the buffer and the program bits of the state.
#pragma once

#include "flash/FlashSocket.h"
#include "shell/AppState.h"
#include "shell/DeviceLayer.h"

namespace shell {

class CorvinaDevice : public DeviceLayer {
public:
    CorvinaDevice(CorvinaState& state, io::Board& board) : state_(state), board_(board), socket_(board) {}

    std::string BlankCheckDevice(device::ProgressSink& progress) override;
    std::string ReadDevice(device::ProgressSink& progress) override;
    std::string WriteDevice(device::ProgressSink& progress) override;
    std::string VerifyDevice(device::ProgressSink& progress) override;
    std::string ReadSignature(device::ProgressSink& progress) override;
    void StartUpBoard() override;
    void BoardIdle() override;

private:
    CorvinaState& state_;
    io::Board& board_;
    flash::FlashSocket socket_;
};

}  // namespace shell
