#include "eeprom/EepromSocket.h"

namespace eeprom {
namespace {

constexpr uint16_t kOutputEnableOff = 0x02;  // ControlByte bit 1, active low
constexpr uint16_t kChipEnableOff = 0x04;    // ControlByte bit 2, active low
constexpr uint16_t kSupplyOff = 0x80;        // PowerFlags bit 7
constexpr uint16_t kA11Strobe = 0x08;        // AddressHigh bit 3 in WeOnA11: 1 = inactive
constexpr uint16_t kA14Position = 0x40;      // AddressHigh bit 6: A14, or the strobe in WeOnA14

// The three schemes: the line the strobe is on, and where A14 travels.
struct SchemeOps {
    void (*prepareWriteLine)(EepromSocket&);
    void (*presentAddress)(EepromSocket&, uint32_t);
    void (*pulseWrite)(EepromSocket&);
};

void LowAndHigh(EepromSocket& s, uint32_t address, uint16_t highBits) {
    s.AddressLow = address & 0xFF;
    s.AddressHigh = static_cast<uint16_t>((address >> 8) | highBits);
}

constexpr SchemeOps kWeOnA11{
    [](EepromSocket& s) {
        s.AddressHigh = kA11Strobe;
        s.SendAddressHigh();
    },
    [](EepromSocket& s, uint32_t a) {
        LowAndHigh(s, a, kA11Strobe);
        s.SendAddressLow();
        s.SendAddressHigh();
    },
    [](EepromSocket& s) {
        s.AddressHigh &= ~kA11Strobe;
        s.SendAddressHigh();
        s.AddressHigh |= kA11Strobe;
        s.SendAddressHigh();
    },
};

constexpr SchemeOps kWeOnStrobe{
    [](EepromSocket& s) { s.ClearControlBit0(); },
    [](EepromSocket& s, uint32_t a) {
        LowAndHigh(s, a, 0);
        s.SendAddressLow();
        s.SendAddressHigh();
    },
    [](EepromSocket& s) { s.PulseControlBit0(); },
};

constexpr SchemeOps kWeOnA14{
    [](EepromSocket& s) {
        s.AddressHigh = kA14Position;
        s.SendAddressHigh();
    },
    [](EepromSocket& s, uint32_t a) {
        LowAndHigh(s, a, 0);
        if (a & 0x4000)
            s.ClearControlBit0();  // A14 travels on control bit 0, inverted
        else
            s.SetControlBit0();
        s.AddressHigh |= kA14Position;  // the strobe's position, inactive
        s.SendAddressLow();
        s.SendAddressHigh();
    },
    [](EepromSocket& s) {
        s.AddressHigh &= ~kA14Position;
        s.SendAddressHigh();
        s.AddressHigh |= kA14Position;
        s.SendAddressHigh();
    },
};

// By Scheme, in its order.
constexpr SchemeOps kSchemes[] = {kWeOnA11, kWeOnStrobe, kWeOnA14};

const SchemeOps& OpsOf(Scheme scheme) { return kSchemes[static_cast<int>(scheme)]; }

}  // namespace

void EepromSocket::DisableDeviceOutput() {
    ControlByte |= kOutputEnableOff;
    SendControlByte();
}

void EepromSocket::EnableDeviceOutput() {
    ControlByte &= ~kOutputEnableOff;
    SendControlByte();
}

void EepromSocket::SelectDevice() {
    ControlByte &= ~kChipEnableOff;
    SendControlByte();
}

void EepromSocket::PowerOn() {
    ReleaseBus();
    PowerFlags &= ~kSupplyOff;
    ClearControlBit0();
    SendControlByte();
    Delay500ms();
}

void EepromSocket::PowerOff() {
    PowerFlags |= kSupplyOff;
    ClearControlBit0();
    SendControlByte();
    SetControlBit0();
}

void EepromSocket::BoardIdle() {
    AddressLow = 0;
    AddressHigh = 0;
    ControlByte = 0;
    SetControlBit1();
    SendAddressLow();
    SendAddressHigh();
    SendControlByte();
    SetControlBit2();
    ReleaseBus();
    PowerOff();
    SetControlBit0();
}

void EepromSocket::PrepareWriteLine() { OpsOf(SignalScheme).prepareWriteLine(*this); }
void EepromSocket::PresentAddress(uint32_t address) { OpsOf(SignalScheme).presentAddress(*this, address); }
void EepromSocket::PulseWrite() { OpsOf(SignalScheme).pulseWrite(*this); }

}  // namespace eeprom
