// What both sockets share: the board values by the names the routines use,
// and the register operations and waits they are written in.
#pragma once

#include <cstdint>

#include "io/Unitio.h"

namespace device {

class BoardSocket {
public:
    explicit BoardSocket(io::Board& board)
        : DataByte(board.DataByte), AddressLow(board.AddressLow), AddressHigh(board.AddressHigh),
          ControlByte(board.ControlByte), PowerFlags(board.PowerFlags), board_(board) {}

    uint16_t& DataByte;
    uint16_t& AddressLow;
    uint16_t& AddressHigh;
    uint16_t& ControlByte;
    uint16_t& PowerFlags;

    // The register operations.
    void ShiftOutData() { board_.ShiftOutData(); }
    void SendAddressLow() { board_.SendAddressLow(); }
    void SendAddressHigh() { board_.SendAddressHigh(); }
    void SendControlByte() { board_.SendControlByte(); }
    void ReadDataByte() { board_.ReadDataByte(); }
    void ReleaseBus() { board_.ReleaseBus(); }
    void SetControlBit0() { board_.SetControlBit0(); }
    void ClearControlBit0() { board_.ClearControlBit0(); }
    void PulseControlBit0() { board_.PulseControlBit0(); }
    void SetControlBit1() { board_.SetControlBit1(); }
    void SetControlBit2() { board_.SetControlBit2(); }

    // The waits.
    void DelayTick() { board_.Delays().DelayTick(); }
    void Delay12us() { board_.Delays().Delay12us(); }
    void Delay100us() { board_.Delays().Delay100us(); }
    void Delay2ms() { board_.Delays().Delay2ms(); }
    void Delay10ms() { board_.Delays().Delay10ms(); }
    void Delay500ms() { board_.Delays().Delay500ms(); }
    void DelayWrite(uint16_t ticks) { board_.Delays().DelayWrite(ticks); }

protected:
    io::Board& board_;
};

}  // namespace device
