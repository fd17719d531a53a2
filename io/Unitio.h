// The programmer boards' register protocol: the program's images of the
// board's registers and the byte transfers and line operations that every
// device routine is built from. Each port write is followed by one timer tick.
#pragma once

#include <cstdint>

#include "io/PortIo.h"
#include "io/Timer.h"

namespace io {

class Board {
public:
    Board(PortIo& port, Timer& timer) : port_(port), timer_(timer) {}

    // Board values; only their low byte is ever sent.
    uint16_t DataByte = 0;
    uint16_t AddressLow = 0;
    uint16_t AddressHigh = 0;
    uint16_t ControlByte = 0;
    uint16_t PowerFlags = 0;
    // The last bytes written to the data and control registers.
    uint16_t DataPortShadow = 0;
    uint16_t ControlPortShadow = 0;
    // The selected port; the frame sets it for each command.
    uint16_t PortBase = 0x378;

    void ShiftOutData();
    void SendAddressLow();
    void SendAddressHigh();
    void SendControlByte();
    void ReadDataByte();
    void ReleaseBus();
    void SetControlBit0() { WriteControl(ControlPortShadow | 0x01); }
    void ClearControlBit0() { ClearControlBits(0x01); }
    void PulseControlBit0();
    void SetControlBit1() { WriteControl(ControlPortShadow | 0x02); }
    void SetControlBit2() { WriteControl(ControlPortShadow | 0x04); }
    // Clears control-port bits; the write is followed by `settle` instead of
    // the usual tick where a line needs longer to settle (programming voltage).
    void ClearControlBits(uint16_t bits, void (Timer::*settle)() = &Timer::DelayTick);

    // The board self-test's transfers, which take the bus register apart from
    // the chip. The data register written, then read back: a port keeps what
    // was written to it, an address without a port reads 0xFF.
    uint16_t EchoDataPort(uint16_t value);
    // Shifts `DataByte` into the bus register and leaves the bus released.
    void LoadBusRegister();
    // Captures the data lines as they are now, driven by the register or not,
    // and releases the bus.
    void CaptureDataLines();
    // Shifts the register's byte out through status bit 7 into `DataByte`,
    // without capturing the data lines first.
    void ReadBusRegister();

    PortIo& Port() { return port_; }
    Timer& Delays() { return timer_; }

    // Data-port bits.
    static constexpr uint16_t kSerialData = 0x01, kBusClock = 0x02, kBusHeld = 0x04, kBusCapture = 0x08,
                              kBusRelease = 0x10, kChainClock = 0x20, kHighLatch = 0x40, kControlLatch = 0x80;
    // Control-port bit of the low-address latch strobe.
    static constexpr uint16_t kLowLatchStrobe = 0x08;

private:
    void WriteData(uint16_t& v);
    void WriteControl(uint16_t value, void (Timer::*settle)() = &Timer::DelayTick);
    void ShiftBits(uint16_t& v, uint16_t byte, uint16_t clock);
    void BusShift(uint16_t& v, uint16_t byte);
    void ChainShift(uint16_t byte, uint16_t latch);
    void ShiftInThroughStatus(uint16_t& v);

    PortIo& port_;
    Timer& timer_;
};

}  // namespace io
