#include "sim/Vcd.h"

#include <ctime>

#include "sim/EepromChipFacts.h"
#include "sim/FlashChipFacts.h"

namespace sim {
namespace {

using namespace flash_pins;

uint8_t Reverse(uint8_t v) {
    uint8_t r = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (v & (1 << bit)) r |= static_cast<uint8_t>(0x80 >> bit);
    return r;
}

std::string Bit(bool level) { return level ? "1" : "0"; }

std::string Vector(uint32_t value, int width) {
    std::string text = "b";
    for (int bit = width - 1; bit >= 0; --bit) text += (value >> bit & 1) ? '1' : '0';
    return text;
}

std::string Byte(std::optional<uint8_t> value) { return value ? Vector(*value, 8) : "bz"; }

// Printable identifier codes, one character each: far more than a socket has lines.
std::string Code(size_t index) { return std::string(1, static_cast<char>('!' + index)); }

}  // namespace

VcdRecorder::VcdRecorder(std::ostream& out, std::string_view chip) : out_(out), chip_(chip) {
    if ((flash_ = FindChipFacts(chip))) {
        kind_ = flash_->family->twentyPin ? Kind::Flash20 : Kind::Flash40;
    } else if ((eeprom_ = FindEepromFacts(chip))) {
        kind_ = Kind::Eeprom;
    }
    switch (kind_) {
        case Kind::Flash40:
            names_ = {"VCC", "ALE/PROG", "EA/VPP", "EA/VPP_12V", "P2.6", "P2.7", "P3.3", "P3.6", "P3.7", "A[14:0]", "P0[7:0]"};
            widths_ = {1, 1, 1, 1, 1, 1, 1, 1, 1, 15, 8};
            break;
        case Kind::Flash20:
            names_ = {"VCC", "RST", "VPP_12V", "P3.2/PROG", "P3.3", "P3.4", "P3.5", "P3.7", "XTAL1", "P1[7:0]"};
            widths_ = {1, 1, 1, 1, 1, 1, 1, 1, 1, 8};
            break;
        case Kind::Eeprom:
            names_ = {"VCC", "/CE", "/OE", "/WE", "A[14:0]", "D[7:0]"};
            widths_ = {1, 1, 1, 1, 15, 8};
            break;
        case Kind::Empty:
            names_ = {"VCC", "control_register[7:0]", "address_high[7:0]", "address_low[7:0]", "control_port[2:0]",
                      "bus[7:0]"};
            widths_ = {1, 8, 8, 8, 3, 8};
            break;
    }
}

void VcdRecorder::Range(uint32_t first, uint32_t last) {
    first_ = first;
    last_ = last;
}

void VcdRecorder::Put(const std::string& text) {
    out_ << text;
    bytes_ += text.size();
}

uint32_t VcdRecorder::Address(const SocketLines& lines) const {
    switch (kind_) {
        case Kind::Flash40: {
            uint32_t address = lines.addressLow | static_cast<uint32_t>(lines.addressHigh & flash_->highAddressMask) << 8;
            if (flash_->a14Bit && (lines.addressHigh & flash_->a14Bit)) address |= 0x4000;
            return address;
        }
        case Kind::Flash20: return counter_ % flash_->size;  // the chip wraps past the top
        case Kind::Eeprom: {
            uint32_t address = lines.addressLow | static_cast<uint32_t>(lines.addressHigh & 0x3F) << 8;
            if (eeprom_->strobe == WriteStrobe::Strobe && (lines.addressHigh & 0x40)) address |= 0x4000;
            if (eeprom_->strobe == WriteStrobe::A14 && !(lines.controlPort & 0x01)) address |= 0x4000;
            return address & (eeprom_->size - 1);
        }
        case Kind::Empty: break;
    }
    return static_cast<uint32_t>(lines.addressHigh) << 8 | lines.addressLow;
}

// The 20-pin chip's counter: cleared at power-up and as RST rises from GND,
// stepped on each rising XTAL1 edge while the chip runs.
void VcdRecorder::Count(const SocketLines& lines) {
    const bool supply = lines.SupplyOn(), resetHeld = lines.addressHigh & 0x02, clock = lines.addressHigh & 0x01;
    if (supply && !powered_) counter_ = 0;
    if (supply && resetHeld_ && !resetHeld) counter_ = 0;
    if (supply && !resetHeld && clock && !clock_) ++counter_;
    powered_ = supply;
    resetHeld_ = resetHeld;
    clock_ = clock;
}

std::vector<std::string> VcdRecorder::Values(const SocketLines& l) const {
    const bool vcc = l.SupplyOn(), pulse = l.controlPort & 0x01, vpp = !(l.controlPort & 0x02);
    const uint8_t c = l.controlRegister;
    const std::optional<uint8_t> data = l.bus ? l.bus : sampled_;
    switch (kind_) {
        case Kind::Flash40:
            return {Bit(vcc),          Bit(!pulse),       Bit(vcc || vpp),   Bit(vpp),
                    Bit(c & kP26),     Bit(c & kP27),     Bit(c & kP33),     Bit(c & kP36),
                    Bit(c & kP37),     Vector(Address(l), 15), Byte(data)};
        case Kind::Flash20: {
            const bool resetHeld = l.addressHigh & 0x02;  // RST/VPP at GND
            return {Bit(vcc),
                    Bit(!resetHeld),
                    Bit(vpp && !resetHeld),
                    Bit(!pulse),
                    Bit(c & kSmallP33),
                    Bit(c & kSmallP34),
                    Bit(c & kSmallP35),
                    Bit(c & kSmallP37),
                    Bit(l.addressHigh & 0x01),
                    Byte(data ? std::optional<uint8_t>(Reverse(*data)) : std::nullopt)};
        }
        case Kind::Eeprom: {
            bool we = true;
            switch (eeprom_->strobe) {
                case WriteStrobe::A11: we = l.addressHigh & 0x08; break;
                case WriteStrobe::Strobe: we = !pulse; break;
                case WriteStrobe::A14: we = l.addressHigh & 0x40; break;
            }
            return {Bit(vcc), Bit(c & 0x04), Bit(c & 0x02), Bit(we), Vector(Address(l), 15), Byte(data)};
        }
        case Kind::Empty: break;
    }
    return {Bit(vcc), Vector(c, 8), Vector(l.addressHigh, 8), Vector(l.addressLow, 8), Vector(l.controlPort, 3),
            Byte(data)};
}

void VcdRecorder::Start(const SocketLines& lines, uint64_t now) {
    lines_ = lines;
    powered_ = lines.SupplyOn();
    resetHeld_ = lines.addressHigh & 0x02;
    clock_ = lines.addressHigh & 0x01;
    char date[64] = "";
    const std::time_t t = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
    std::string head = std::string("$date ") + date + " $end\n";
    head += "$version bench socket dump, " + (chip_.empty() ? std::string("empty socket") : chip_) + " $end\n";
    head += "$timescale 1 ns $end\n$scope module socket $end\n";
    for (size_t i = 0; i < names_.size(); ++i) {
        std::string name = names_[i];
        if (const size_t bracket = name.find('['); bracket != std::string::npos) name.insert(bracket, " ");
        head += "$var wire " + std::to_string(widths_[i]) + " " + Code(i) + " " + name + " $end\n";
    }
    head += "$upscope $end\n$enddefinitions $end\n";
    Put(head);
    shown_ = Values(lines);
    std::string init = "#" + std::to_string(now) + "\n$dumpvars\n";
    for (size_t i = 0; i < shown_.size(); ++i) init += shown_[i] + (widths_[i] > 1 ? " " : "") + Code(i) + "\n";
    Put(init + "$end\n");
    lastTime_ = now;
    started_ = true;
}

void VcdRecorder::LinesChanged(const SocketLines& lines, uint64_t now) {
    if (!started_) return;
    if (kind_ == Kind::Flash20) Count(lines);
    lines_ = lines;
    sampled_.reset();  // what the chip drives may change with any line
    Emit(lines, now);
}

void VcdRecorder::DataSampled(std::optional<uint8_t> driven, uint64_t now) {
    if (!started_ || driven == sampled_) return;
    sampled_ = driven;
    Emit(lines_, now);
}

// Out of range nothing is written; coming back, every line that differs from
// what the dump shows is written.
void VcdRecorder::Emit(const SocketLines& lines, uint64_t now) {
    const uint32_t address = Address(lines);
    if (address < first_ || address > last_) return;
    const std::vector<std::string> values = Values(lines);
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == shown_[i]) continue;
        text += values[i] + (widths_[i] > 1 ? " " : "") + Code(i) + "\n";
        shown_[i] = values[i];
    }
    if (text.empty()) return;
    if (lastTime_ != now) text = "#" + std::to_string(now) + "\n" + text;
    lastTime_ = now;
    Put(text);
}

}  // namespace sim
