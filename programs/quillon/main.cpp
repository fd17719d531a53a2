// Quillon: programs parallel EEPROMs. Built twice: on the parallel port, and
// on the virtual bench as quillon-sim.
#include "programs/Boards.h"
#ifdef CQ_BENCH
#include "programs/ChipFiles.h"
#include "programs/EepromChipKind.h"
#include "programs/VirtualChips.h"
#endif
#include "shell/QuillonDevice.h"
#include "shell/qt/FormAbout.h"
#include "shell/qt/FormDeviceInfo.h"
#include "shell/qt/FormMainQuillon.h"
#include "shell/qt/RunProgram.h"

int main(int argc, char** argv) {
    using namespace shell::qt;
    shell::QuillonState state;
#ifdef CQ_BENCH
    programs::VirtualBoard board;
    board.TakeOptions(argc, argv);
    shell::QuillonDevice eepromDevice(state, board.bench.board);
    programs::VirtualChips<programs::EepromChipKind> device(state, board.bench.bench, eepromDevice,
                                                            programs::ChipFolder("quillon-sim"));
#else
    programs::RealBoard board;
    shell::QuillonDevice device(state, board.board);
#endif
    return RunProgram(argc, argv, {shell::Program::Quillon, [&] {
                                       auto main = std::make_unique<TfrmMainQuillon>(state, board.Parts(&device));
#ifdef CQ_BENCH
                                       main->setWindowTitle(main->windowTitle() + programs::kBenchMarker);
#endif
                                       main->SetModalWindow(shell::Window::About,
                                                            new TfrmAbout(shell::Program::Quillon, main.get()));
                                       main->SetModalWindow(shell::Window::DeviceInfo, new TfrmDeviceInfo(main.get()));
                                       return std::unique_ptr<QMainWindow>(std::move(main));
                                   }});
}
