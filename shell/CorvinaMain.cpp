#include "shell/CorvinaMain.h"

#include <array>

#include "flash/FlashCatalogue.h"

namespace shell {
namespace {

constexpr std::array<Ctl, 4> kBitBoxes{Ctl::chkLB1, Ctl::chkLB2, Ctl::chkLB3, Ctl::chkISP};
constexpr int kLockBit3 = 2;
constexpr int kIspFuse = 3;

bool BitSet(uint16_t bits, int bit) { return (bits >> bit) & 1; }

}  // namespace

void CorvinaMain::StartUp() {
    state_.EraseBuffer();
    state_.DeviceType = 0;
    state_.PortBase = io::kDefaultPortBase;
    LoadSettings();
    PrepareBoard();
}

// The frame reads the program bits after the write: the text says whether lock bits were programmed.
std::string CorvinaMain::WriteSuccessText() const {
    return state_.ProgramBits ? "Programming/Verify OK\nLock Bits Programmed" : "Programming/Verify OK";
}

uint8_t CorvinaMain::SecondSetting() const { return static_cast<uint8_t>(state_.ProgramBits); }

// Only the four program bits exist; anything above them is damage.
void CorvinaMain::TakeSecondSetting(uint8_t value) { state_.ProgramBits = value & 0x0F; }

uint16_t CorvinaMain::DeviceTypeCount() const { return static_cast<uint16_t>(flash::Catalogue().size()); }

void CorvinaMain::InitialRefresh() {
    RefreshFileLabel();
    SetDeviceSize();
    RefreshPortMenu();
    RefreshGrid();
    RefreshProgramBits();
    view_.SetVisible(Ctl::stxCmd, false);
    view_.SetVisible(Ctl::stxAdres, false);
    // The 89C51RC is not in the list: the list then shows no selection.
    view_.SetItemIndex(Ctl::cboType, state_.DeviceType < flash::ListedDeviceCount() ? state_.DeviceType : -1);
    ShowChecksum();
}

void CorvinaMain::cboTypeChange() {
    if (Refused()) return;
    state_.DeviceType = static_cast<uint16_t>(view_.ItemIndex(Ctl::cboType));
    SetDeviceSize();
    RefreshProgramBits();
    ShowChecksum();
}

void CorvinaMain::SetDeviceSize() {
    if (const flash::DeviceEntry* device = flash::FindDevice(state_.DeviceType)) state_.DeviceSize = device->size;
}

void CorvinaMain::RefreshProgramBits() {
    SetBox(0, BitSet(state_.ProgramBits, 0));
    SetBox(1, BitSet(state_.ProgramBits, 1));
    const flash::DeviceEntry* device = flash::FindDevice(state_.DeviceType);
    if (!device) return;
    view_.SetEnabled(Ctl::chkLB3, device->lockBit3);
    SetBox(kLockBit3, device->lockBit3 && BitSet(state_.ProgramBits, kLockBit3));
    view_.SetEnabled(Ctl::chkISP, device->ispFuse);
    SetBox(kIspFuse, device->ispFuse && BitSet(state_.ProgramBits, kIspFuse));
}

void CorvinaMain::ProgramBitClick(int bit) {
    if (Refused()) return;
    const uint16_t mask = static_cast<uint16_t>(1u << bit);
    if (view_.Checked(kBitBoxes[static_cast<size_t>(bit)]))
        state_.ProgramBits |= mask;
    else
        state_.ProgramBits &= static_cast<uint16_t>(~mask);
    RefreshProgramBits();
}

void CorvinaMain::SetBox(int bit, bool checked) {
    const Ctl box = kBitBoxes[static_cast<size_t>(bit)];
    if (view_.Checked(box) == checked) return;
    view_.SetChecked(box, checked);
    ProgramBitClick(bit);
}

}  // namespace shell
