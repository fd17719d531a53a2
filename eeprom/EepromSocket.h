// The EEPROM board's socket over the board registers: what the registers and
// control lines mean there, the three signal schemes that say which line
// carries A14 and which the write strobe, the supply sequences and the rest
// state. Nothing above this writes a port.
#pragma once

#include <cstdint>

#include "eeprom/EepromCatalogue.h"
#include "io/Unitio.h"

namespace eeprom {

class EepromSocket {
public:
    explicit EepromSocket(io::Board& board)
        : DataByte(board.DataByte), AddressLow(board.AddressLow), AddressHigh(board.AddressHigh),
          ControlByte(board.ControlByte), PowerFlags(board.PowerFlags), board_(board) {}

    // The board values, by the names the routines use.
    uint16_t& DataByte;
    uint16_t& AddressLow;
    uint16_t& AddressHigh;
    uint16_t& ControlByte;
    uint16_t& PowerFlags;
    // The selected device's signal scheme.
    Scheme SignalScheme = Scheme::WeOnStrobe;

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
    void Delay500ms() { board_.Delays().Delay500ms(); }
    void DelayWrite(uint16_t ticks) { board_.Delays().DelayWrite(ticks); }

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

private:
    io::Board& board_;
};

}  // namespace eeprom
