// What the main window needs of a program's device layer and its board: the
// entries the command frame calls, and the port, timer and board that the
// start-up sequence prepares.
#pragma once

#include "io/PortIo.h"
#include "io/Timer.h"
#include "io/Unitio.h"

namespace shell {

// Each entry reads the selected device from the application state, runs to
// completion, leaves its outcome in ResultText ("OK" or the message) and
// leaves the board at rest.
class DeviceLayer {
public:
    virtual ~DeviceLayer() = default;
    virtual void BlankCheckDevice() = 0;
    virtual void ReadDevice() = 0;
    virtual void WriteDevice() = 0;
    virtual void VerifyDevice() = 0;
    virtual void EraseDevice() {}    // Quillon
    virtual void ReadSignature() {}  // Corvina
    // The socket's rest state.
    virtual void BoardIdle() = 0;
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
