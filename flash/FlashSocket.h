// The flash board's two sockets (40 pins, 20 pins) over the board registers:
// what the registers and the control lines mean there, the operations the
// family routines are written in, the power sequences and the rest state.
// Nothing above this writes a port.
#pragma once

#include <cstdint>

#include "device/BoardSocket.h"

namespace flash {

class FlashSocket : public device::BoardSocket {
public:
    using BoardSocket::BoardSocket;

    // The selected device: its socket decides the rest state.
    uint16_t DeviceType = 0;

    // The socket's own operations.
    void EnableDeviceOutput();    // P2.7 low: the chip drives its data pins
    void DisableDeviceOutput();
    void ClearControlBit1();      // programming voltage on, and settled
    void ClearControlBit2();
    void ReverseDataBits();       // the 20-pin socket's data pins are wired mirrored
    void ReadDataByteReversed();
    void ShiftOutDataReversed();
    void ClockLow();              // the 20-pin chip's counter clock (XTAL1) low
    void AssertReset();
    void ReleaseReset();          // the counter restarts at address 0
    void AdvanceAddress();        // one counter clock
    void SetPowerFlagBit0();
    void PowerOn();
    void PowerOff();
    void BoardIdle();
};

}  // namespace flash
