#include "shell/BufferDialogs.h"

#include <optional>

#include "device/HexText.h"

namespace shell {

using device::Hex2;
using device::Hex4;
using device::ParseHex;
namespace {

constexpr uint32_t kHighestAddress = 0x7FFF;
constexpr char kEnter = '\r';
constexpr char kBackspace = '\b';

const char* const kInvalidInput = "Invalid Hex Data Input";
const char* const kOutOfRange = "Error Address Out of Range";

bool HexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

KeyAction Filter(char key) {
    return key == kBackspace || HexDigit(key) ? KeyAction::Pass : KeyAction::Swallow;
}

}  // namespace

KeyAction EditBufferDialog::FormKeyPress(char key, bool inField) {
    if (key == kEnter) return inField ? KeyAction::SwallowAndStep : KeyAction::Swallow;
    return Filter(key);
}

KeyAction FillBufferDialog::FormKeyPress(char key) { return key == kEnter ? KeyAction::Swallow : Filter(key); }

void EditBufferDialog::Open() {
    changed_ = false;
    view_->SetText(Field::edtAdr, "0000");
    view_->SetText(Field::edtData, Hex2(buffer_[0]));
}

bool EditBufferDialog::Take(uint16_t& address) {
    const auto typedAddress = ParseHex(view_->Text(Field::edtAdr));
    const auto value = ParseHex(view_->Text(Field::edtData));
    if (!typedAddress || !value) {
        view_->MessageBox(kInvalidInput, "EDIT BUFFER", Box::Error);
        return false;
    }
    if (*typedAddress > kHighestAddress) {
        view_->MessageBox(kOutOfRange, "EDIT BUFFER", Box::Warning);
        return false;
    }
    address = static_cast<uint16_t>(*typedAddress);
    const uint16_t byte = static_cast<uint16_t>(*value & 0xFF);
    if (buffer_[address] != byte) {
        buffer_[address] = byte;
        changed_ = true;
    }
    return true;
}

void EditBufferDialog::btnOkClick() {
    uint16_t address = 0;
    Take(address);
    view_->Close();
}

void EditBufferDialog::Step(int direction) {
    uint16_t address = 0;
    if (!Take(address)) return;
    address = static_cast<uint16_t>((address + direction) & kHighestAddress);
    view_->SetText(Field::edtAdr, Hex4(address));
    view_->SetText(Field::edtData, Hex2(buffer_[address]));
    view_->SelectAll(Field::edtData);
}

void FillBufferDialog::Open() {
    changed_ = false;
    view_->SetText(Field::edtStart, "0000");
    view_->SetText(Field::edtEnd, "7FFF");
    view_->SetText(Field::edtData, "FF");
}

void FillBufferDialog::btnOkClick() {
    const auto start = ParseHex(view_->Text(Field::edtStart));
    const auto end = ParseHex(view_->Text(Field::edtEnd));
    const auto value = ParseHex(view_->Text(Field::edtData));
    if (!start || !end || !value) {
        view_->MessageBox(kInvalidInput, "FILL BUFFER", Box::Error);
        return;
    }
    if (*start > *end) {
        view_->MessageBox("Error End Address less than Start Address", "FILL BUFFER", Box::Warning);
        return;
    }
    if (*end > kHighestAddress) {
        view_->MessageBox(kOutOfRange, "FILL BUFFER", Box::Warning);
        return;
    }
    for (uint32_t address = *start; address <= *end; ++address) buffer_[address] = static_cast<uint16_t>(*value & 0xFF);
    changed_ = true;
    view_->Close();
}

}  // namespace shell
