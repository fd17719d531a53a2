#include "shell/MainLogic.h"

#include <algorithm>
#include <array>

#include "shell/HexText.h"
#include "shell/PathText.h"

namespace shell {
namespace {

constexpr std::array<Ctl, 3> kPortItems{Ctl::mnuPortLpt1, Ctl::mnuPortLpt2, Ctl::mnuPortLpt3};
static_assert(kPortItems.size() == io::kLptPorts.size());

}  // namespace

void MainLogic::FormCreate() {
    StartUp();
    SetUpGridHeaders();
    InitialRefresh();
}

void MainLogic::mnuFileExitClick() { view_.CloseMain(); }

void MainLogic::mnuEditClearClick() {
    if (view_.MessageBox("Clear Data Buffer", "CLEAR BUFFER", Box::Question) != Answer::Yes) return;
    state_.EraseBuffer();
    RememberFolder();
    state_.HexFileName.clear();
    ShowChecksum();
    RefreshGrid();
    RefreshFileLabel();
    view_.MessageBox("Data Buffer Cleared", "CLEAR BUFFER", Box::Information);
}

void MainLogic::RefreshFileLabel() {
    const std::string name = state_.HexFileName.empty() ? "NONE" : UpperAscii(NamePart(state_.HexFileName));
    view_.SetStatusPanel(0, " Hex File :  " + name);
}

void MainLogic::RememberFolder() {
    if (!state_.HexFileName.empty()) state_.LastFolder = FolderPart(state_.HexFileName);
}

void MainLogic::RefreshPortMenu() {
    const auto port = io::PortByBase(state_.PortBase);
    if (!port) return;  // not one of the three: the marks stay as they are
    for (size_t i = 0; i < kPortItems.size(); ++i)
        view_.SetChecked(kPortItems[i], io::kLptPorts[i].base == port->base);
}

void MainLogic::SelectPort(size_t index) {
    if (view_.Checked(kPortItems[index])) return;
    for (size_t i = 0; i < kPortItems.size(); ++i) view_.SetChecked(kPortItems[i], i == index);
    state_.PortBase = io::kLptPorts[index].base;
}

void MainLogic::SetUpGridHeaders() {
    view_.SetColumn0Width(2 * view_.DefaultColumnWidth());
    for (int col = 1; col < kGridColumns; ++col) view_.SetCell(col, 0, Hex2(static_cast<unsigned>(col - 1)));
    for (int row = 1; row < kGridRows; ++row)
        view_.SetCell(0, row, " " + Hex4(static_cast<unsigned>((row - 1) * kGridEntriesPerRow)));
}

void MainLogic::RefreshGrid() {
    const int top = std::clamp(view_.GridTopRow(), 1, kGridRows - kGridVisibleRows);
    size_t entry = static_cast<size_t>(top - 1) * kGridEntriesPerRow;
    view_.SetEnabled(Ctl::strGrid, false);
    for (int row = top; row < top + kGridVisibleRows; ++row)
        for (int col = 1; col < kGridColumns; ++col) view_.SetCell(col, row, Hex2(state_.DataBuffer[entry++]));
    view_.SetEnabled(Ctl::strGrid, true);
}

uint16_t MainLogic::BufferChecksum() const {
    uint16_t sum = 0;
    for (size_t i = 0; i < state_.DeviceSize && i < state_.DataBuffer.size(); ++i)
        sum = static_cast<uint16_t>(sum + state_.DataBuffer[i]);
    return sum;
}

void MainLogic::ShowChecksum() { view_.SetText(Ctl::stxCkSum, Hex4(BufferChecksum())); }

}  // namespace shell
