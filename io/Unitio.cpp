#include "io/Unitio.h"

namespace io {
namespace {

uint16_t With(uint16_t v, uint16_t bits, bool on) { return on ? (v | bits) : (v & ~bits & 0xFFFF); }

}  // namespace

void Board::WriteData(uint16_t& v) {
    DataPortShadow = v;
    port_.PortOut(PortBase, v);
    timer_.DelayTick();
}

void Board::WriteControl(uint16_t value, void (Timer::*settle)()) {
    ControlPortShadow = value & 0xFFFF;
    port_.PortOut(PortBase + 2, ControlPortShadow);
    (timer_.*settle)();
}

void Board::ClearControlBits(uint16_t bits, void (Timer::*settle)()) {
    WriteControl(ControlPortShadow & ~bits & 0xFFFF, settle);
}

// Clocks the eight bits of `byte` out on the serial data line, most
// significant first, with a pulse of `clock` for each.
void Board::ShiftBits(uint16_t& v, uint16_t byte, uint16_t clock) {
    for (int bit = 7; bit >= 0; --bit) {
        v = With(v, kSerialData, (byte >> bit) & 1);
        WriteData(v);
        v = With(v, clock, true);
        WriteData(v);
        v = With(v, clock, false);
        WriteData(v);
    }
}

// Shifts `byte` into the bus register.
void Board::BusShift(uint16_t& v, uint16_t byte) {
    v = With(With(With(v, kBusClock, false), kBusHeld, true), kBusCapture, false);
    WriteData(v);
    ShiftBits(v, byte, kBusClock);
}

// Shifts `byte` into the high-address / control chain and latches it with `latch`.
void Board::ChainShift(uint16_t byte, uint16_t latch) {
    uint16_t v = With(With(DataPortShadow, kChainClock, false), latch, false);
    WriteData(v);
    ShiftBits(v, byte, kChainClock);
    v = With(v, latch, true);
    WriteData(v);
    v = With(v, latch, false);
    WriteData(v);
}

void Board::ShiftOutData() {
    uint16_t v = DataPortShadow;
    BusShift(v, DataByte);
    v = With(v, kBusRelease, false);  // the register drives the data lines
    WriteData(v);
}

void Board::SendAddressLow() {
    uint16_t v = DataPortShadow;
    BusShift(v, AddressLow);
    v = With(v, kBusRelease, false);
    WriteData(v);
    WriteControl(With(ControlPortShadow, kLowLatchStrobe, false));
    WriteControl(With(ControlPortShadow, kLowLatchStrobe, true));
    v = With(v, kBusRelease, true);
    WriteData(v);
}

void Board::SendAddressHigh() { ChainShift(AddressHigh, kHighLatch); }

void Board::SendControlByte() {
    ControlByte = (ControlByte & 0x7E) | PowerFlags;
    ChainShift(ControlByte, kControlLatch);
}

void Board::ReadDataByte() {
    uint16_t v = DataPortShadow;
    v = With(With(With(With(v, kBusRelease, true), kBusClock, false), kBusHeld, true), kBusCapture, true);
    WriteData(v);
    v = With(v, kBusClock, true);
    WriteData(v);
    v = With(v, kBusClock, false);  // this clock has captured the data lines
    WriteData(v);
    v = With(v, kBusCapture, false);
    WriteData(v);
    ShiftInThroughStatus(v);
}

// The register's top bit is on status bit 7 in shift mode; seven more clocks
// bring up the rest. The line shows the register's output complemented.
void Board::ShiftInThroughStatus(uint16_t& v) {
    uint16_t r = port_.PortIn(PortBase + 1) & 0x80;
    for (int i = 1; i <= 7; ++i) {
        v = With(v, kBusClock, true);
        WriteData(v);
        v = With(v, kBusClock, false);
        WriteData(v);
        r |= (port_.PortIn(PortBase + 1) & 0x80) >> i;
    }
    DataByte = ~r & 0xFF;
}

uint16_t Board::EchoDataPort(uint16_t value) {
    uint16_t v = value & 0xFF;
    WriteData(v);
    return port_.PortIn(PortBase) & 0xFF;
}

void Board::LoadBusRegister() {
    uint16_t v = With(DataPortShadow, kBusRelease, true);
    BusShift(v, DataByte);
}

void Board::CaptureDataLines() {
    uint16_t v = With(With(DataPortShadow, kBusClock, false), kBusCapture, true);
    WriteData(v);
    v = With(v, kBusClock, true);
    WriteData(v);
    v = With(v, kBusClock, false);
    WriteData(v);
    v = With(With(v, kBusCapture, false), kBusRelease, true);
    WriteData(v);
}

void Board::ReadBusRegister() {
    uint16_t v = DataPortShadow;
    if (v & kBusCapture) {  // the clocks must shift, not capture
        v = With(v, kBusCapture, false);
        WriteData(v);
    }
    ShiftInThroughStatus(v);
}

void Board::ReleaseBus() {
    uint16_t v = With(DataPortShadow, kBusRelease, true);
    WriteData(v);
}

void Board::PulseControlBit0() {
    ControlPortShadow |= 0x01;
    port_.PortOut(PortBase + 2, ControlPortShadow);  // no delay: the pulse is as short as the port allows
    WriteControl(ControlPortShadow & ~0x01);
}

}  // namespace io
