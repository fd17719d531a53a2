#include "flash/FlashSocket.h"

#include "flash/FlashCatalogue.h"

namespace flash {
namespace {

constexpr uint16_t kOutputsOff = 0x08;   // ControlByte bit 3: P2.7 (40 pins)
constexpr uint16_t kSupplyOff = 0x80;    // PowerFlags bit 7
constexpr uint16_t kCounterClock = 0x01; // AddressHigh bits on the 20-pin socket
constexpr uint16_t kResetHeld = 0x02;

}  // namespace

void FlashSocket::EnableDeviceOutput() {
    ControlByte &= ~kOutputsOff;
    SendControlByte();
}

void FlashSocket::DisableDeviceOutput() {
    ControlByte |= kOutputsOff;
    SendControlByte();
}

void FlashSocket::ClearControlBit1() { board_.ClearControlBits(0x02, &io::Timer::Delay100us); }

void FlashSocket::ClearControlBit2() { board_.ClearControlBits(0x04); }

void FlashSocket::ReverseDataBits() {
    uint16_t mirrored = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (DataByte & (1u << bit)) mirrored |= static_cast<uint16_t>(0x80u >> bit);
    DataByte = mirrored;
}

void FlashSocket::ReadDataByteReversed() {
    ReadDataByte();
    ReverseDataBits();
}

void FlashSocket::ShiftOutDataReversed() {
    ReverseDataBits();
    ShiftOutData();
}

void FlashSocket::ClockLow() {
    AddressHigh &= ~kCounterClock;
    SendAddressHigh();
}

void FlashSocket::AssertReset() {
    AddressHigh |= kResetHeld;
    SendAddressHigh();
}

void FlashSocket::ReleaseReset() {
    AddressHigh &= ~kResetHeld;
    SendAddressHigh();
}

void FlashSocket::AdvanceAddress() {
    AddressHigh |= kCounterClock;
    SendAddressHigh();
    AddressHigh &= ~kCounterClock;
    SendAddressHigh();
}

void FlashSocket::SetPowerFlagBit0() {
    PowerFlags |= 0x01;
    SendControlByte();
}

// The supply comes on with the mode bits ControlByte holds; after BoardIdle that is 0x01.
void FlashSocket::PowerOn() {
    ReleaseBus();
    PowerFlags &= ~kSupplyOff;
    SendControlByte();
    Delay500ms();
    ClearControlBit0();
}

void FlashSocket::PowerOff() {
    PowerFlags |= kSupplyOff;
    SendControlByte();
}

void FlashSocket::BoardIdle() {
    const DeviceEntry* device = FindDevice(DeviceType);
    AddressLow = 0;
    AddressHigh = device && device->family == Family::TwentyPin ? kResetHeld : 0;  // the 20-pin chip held in reset
    ControlByte = 0;
    SetControlBit1();
    SendAddressLow();
    SendAddressHigh();
    SendControlByte();
    SetControlBit0();
    SetControlBit2();
    ReleaseBus();
    PowerOff();
}

}  // namespace flash
