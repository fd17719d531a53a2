// The EEPROM board's socket over the board registers: what the registers and
// control lines mean there, the three signal schemes that say which line
// carries A14 and which the write strobe, the supply sequences and the rest
// state. Nothing above this writes a port.
#pragma once

#include <cstdint>

#include "device/BoardSocket.h"
#include "eeprom/EepromCatalogue.h"

namespace eeprom {

class EepromSocket : public device::BoardSocket {
public:
    using BoardSocket::BoardSocket;

    // The selected device's signal scheme.
    Scheme SignalScheme = Scheme::WeOnStrobe;

    // The socket's own operations.
    void DisableDeviceOutput();
    void EnableDeviceOutput();
    void SelectDevice();
    void PowerOn();
    void PowerOff();
    void BoardIdle();
    // By the signal scheme.
    void PrepareWriteLine();
    void PresentAddress(uint32_t address);
    void PulseWrite();
};

}  // namespace eeprom
