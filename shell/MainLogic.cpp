#include "shell/MainLogic.h"

#include <algorithm>
#include <array>

#include <filesystem>

#include "shell/HexFile.h"
#include "device/HexText.h"
#include "shell/PathText.h"

namespace shell {

using device::Hex2;
using device::Hex4;
namespace {

constexpr std::array<Ctl, 3> kPortItems{Ctl::mnuPortLpt1, Ctl::mnuPortLpt2, Ctl::mnuPortLpt3};
static_assert(kPortItems.size() == io::kLptPorts.size());

}  // namespace

void MainLogic::FormCreate() {
    StartUp();
    SetUpGridHeaders();
    InitialRefresh();
}

void MainLogic::mnuFileExitClick() {
    if (Refused()) return;
    SaveSettings();
    view_.CloseMain();  // closing saves once more
}

void MainLogic::mnuFileOpenClick() {
    if (Refused()) return;
    const auto chosen = view_.OpenFileDialog(state_.LastFolder);
    if (!chosen || chosen->empty()) return;
    state_.HexFileName = *chosen;
    state_.EraseBuffer();
    ReadHexFile(state_);
    RememberFolder();
    if (state_.ResultText == "OK") {
        RefreshGrid();
        RefreshFileLabel();
        ShowChecksum();
        return;
    }
    // What was read before the failure stays in the buffer, for the user to see.
    state_.HexFileName.clear();
    RefreshFileLabel();
    RefreshGrid();
    ShowChecksum();
    view_.MessageBox(state_.ResultText, "OPEN FILE", Box::Warning);
}

void MainLogic::mnuFileSaveClick() {
    if (Refused()) return;
    const auto chosen = view_.SaveFileDialog(state_.LastFolder);
    if (!chosen || chosen->empty()) return;
    std::string name = *chosen;
    if (NamePart(name).find('.') == std::string::npos) name += ".hex";
    std::error_code ignored;
    if (std::filesystem::exists(name, ignored) &&
        view_.MessageBox("Over-write exiting file", "SAVE FILE", Box::WarningYesNo) != Answer::Yes)
        return;  // the buffer still stands for the file it stood for
    state_.HexFileName = name;
    WriteHexFile(state_);
    RememberFolder();
    if (state_.ResultText == "OK") {
        RefreshFileLabel();
        return;
    }
    state_.HexFileName.clear();
    RefreshFileLabel();
    view_.MessageBox(state_.ResultText, "SAVE FILE", Box::Error);
}

void MainLogic::cmdReloadFileClick() {
    if (Refused()) return;
    if (state_.HexFileName.empty()) return;
    state_.EraseBuffer();
    ReadHexFile(state_);
    if (state_.ResultText == "OK") {
        RefreshGrid();
        ShowChecksum();
        view_.MessageBox("File Reload OK", "RELOAD HEX FILE", Box::Plain);
        return;
    }
    state_.EraseBuffer();  // nothing of the failed file stays
    RememberFolder();
    state_.HexFileName.clear();
    RefreshFileLabel();
    RefreshGrid();
    ShowChecksum();
    view_.MessageBox(state_.ResultText, "RELOAD FILE", Box::Warning);
}

void MainLogic::mnuEditEditClick() {
    if (Refused()) return;
    const auto before = DeviceRange();
    editDialog_.Open();
    view_.ShowModal(Window::EditBuffer);
    RefreshGrid();
    if (editDialog_.BufferChanged()) FollowUpBufferChange(before);
}

void MainLogic::mnuEditFillClick() {
    if (Refused()) return;
    const auto before = DeviceRange();
    fillDialog_.Open();
    view_.ShowModal(Window::FillBuffer);
    RefreshGrid();
    if (!fillDialog_.BufferChanged()) return;
    FollowUpBufferChange(before);
    view_.MessageBox("Data Buffer Filled", "FILL BUFFER", Box::Plain);
}

std::vector<uint16_t> MainLogic::DeviceRange() const {
    const size_t size = std::min<size_t>(state_.DeviceSize, state_.DataBuffer.size());
    return {state_.DataBuffer.begin(), state_.DataBuffer.begin() + static_cast<std::ptrdiff_t>(size)};
}

void MainLogic::FollowUpBufferChange(const std::vector<uint16_t>& before) {
    if (DeviceRange() == before) return;
    RememberFolder();
    state_.HexFileName.clear();
    ShowChecksum();
    RefreshFileLabel();
}

void MainLogic::LoadSettings() {
    const auto bytes = settings_.Load();
    if (!bytes) return;
    const auto record = DecodeSettings(*bytes);
    if (!record) return;
    if (record->deviceType < DeviceTypeCount()) state_.DeviceType = record->deviceType;
    TakeSecondSetting(record->second);
    for (const io::LptPort& port : io::kLptPorts)
        if (port.settingsCode == record->portCode) state_.PortBase = port.base;
    state_.LastFolder = record->folder;
    state_.HexFileName = record->folder + record->fileName;
    // Only a file named by a whole path comes back; the working folder plays no part.
    std::error_code ignored;
    if (!record->folder.starts_with('/') || record->fileName.empty() ||
        !std::filesystem::is_regular_file(state_.HexFileName, ignored)) {
        state_.HexFileName.clear();
        return;
    }
    ReadHexFile(state_);  // as far as it reads; nobody is told at start-up
}

void MainLogic::SaveSettings() {
    SettingsRecord record;
    record.deviceType = static_cast<uint8_t>(state_.DeviceType);
    record.second = SecondSetting();
    if (const auto port = io::PortByBase(state_.PortBase)) record.portCode = port->settingsCode;
    record.folder = state_.LastFolder;
    record.fileName = NamePart(state_.HexFileName);
    settings_.Save(EncodeSettings(record));  // a failed save is silent
}

void MainLogic::strGridTopLeftChanged() {
    if (!Refused()) RefreshGrid();
}

void MainLogic::mnuHelpAboutClick() {
    if (!Refused()) view_.ShowModal(Window::About);
}

void MainLogic::mnuEditClearClick() {
    if (Refused()) return;
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
    if (Refused()) return;
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
