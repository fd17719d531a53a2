// The flash board's two sockets (40 pins, 20 pins) over the board registers:
// what the registers and the control lines mean there, the operations the
// family routines are written in, the power sequences and the rest state.
// Nothing above this writes a port.
#pragma once

#include <cstdint>

#include "io/Unitio.h"

namespace flash {

class FlashSocket {
public:
    explicit FlashSocket(io::Board& board)
        : DataByte(board.DataByte), AddressLow(board.AddressLow), AddressHigh(board.AddressHigh),
          ControlByte(board.ControlByte), PowerFlags(board.PowerFlags), board_(board) {}

    // The board values, by the names the routines use.
    uint16_t& DataByte;
    uint16_t& AddressLow;
    uint16_t& AddressHigh;
    uint16_t& ControlByte;
    uint16_t& PowerFlags;
    // The selected device: its socket decides the rest state.
    uint16_t DeviceType = 0;

    // The register operations.
    void ShiftOutData() { board_.ShiftOutData(); }
    void SendAddressLow() { board_.SendAddressLow(); }
    void SendAddressHigh() { board_.SendAddressHigh(); }
    void SendControlByte() { board_.SendControlByte(); }
    void ReadDataByte() { board_.ReadDataByte(); }
    void ReleaseBus() { board_.ReleaseBus(); }
    void SetControlBit0() { board_.SetControlBit0(); }   // programming pulse on
    void ClearControlBit0() { board_.ClearControlBit0(); }
    void PulseControlBit0() { board_.PulseControlBit0(); }
    void SetControlBit1() { board_.SetControlBit1(); }   // programming voltage off
    void SetControlBit2() { board_.SetControlBit2(); }

    // The waits.
    void DelayTick() { board_.Delays().DelayTick(); }
    void Delay12us() { board_.Delays().Delay12us(); }
    void Delay100us() { board_.Delays().Delay100us(); }
    void Delay2ms() { board_.Delays().Delay2ms(); }
    void Delay10ms() { board_.Delays().Delay10ms(); }
    void Delay500ms() { board_.Delays().Delay500ms(); }

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

private:
    io::Board& board_;
};

}  // namespace flash
