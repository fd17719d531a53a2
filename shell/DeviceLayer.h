// What the main window needs of a program's device layer and its board: the
// entries the command frame calls, and the port, timer and board that the
// start-up sequence prepares.
#pragma once

#include <string>

#include "device/Progress.h"
#include "io/PortIo.h"
#include "io/Timer.h"
#include "io/Unitio.h"

namespace shell {

// Each entry reads the selected device from the application state, runs to
// completion with the port claimed, returns its outcome as the text to show
// ("OK" or the message) and leaves the board at rest.
class DeviceLayer {
public:
    virtual ~DeviceLayer() = default;
    virtual std::string BlankCheckDevice(device::ProgressSink& progress) = 0;
    virtual std::string ReadDevice(device::ProgressSink& progress) = 0;
    virtual std::string WriteDevice(device::ProgressSink& progress) = 0;
    virtual std::string VerifyDevice(device::ProgressSink& progress) = 0;
    virtual std::string EraseDevice(device::ProgressSink&) { return "This programmer has no Erase command"; }
    virtual std::string ReadSignature(device::ProgressSink&) { return "This programmer reads no signature"; }
    // The board values the program starts with, before the board is touched.
    virtual void StartUpBoard() {}
    // The socket's rest state.
    virtual void BoardIdle() = 0;
    // The first rest after start-up.
    virtual void RestAtStart() { BoardIdle(); }
};

// The board side of a program: the port back end, the timer and the board
// registers over it, and the device layer, once the program has one.
struct Hardware {
    io::PortIo& port;
    io::Timer& timer;
    io::Board& board;
    DeviceLayer* device = nullptr;
};

}  // namespace shell
