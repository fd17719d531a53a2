// Corvina: programs Atmel 89-series flash microcontrollers. Built twice: on the
// parallel port, and on the virtual bench as corvina-sim.
#include "programs/Boards.h"
#ifdef CQ_BENCH
#include "programs/ChipFiles.h"
#include "programs/FlashChipKind.h"
#include "programs/VirtualChips.h"
#endif
#include "shell/CorvinaDevice.h"
#include "shell/qt/FormAbout.h"
#include "shell/qt/FormMainCorvina.h"
#include "shell/qt/RunProgram.h"

int main(int argc, char** argv) {
    using namespace shell::qt;
    shell::CorvinaState state;
#ifdef CQ_BENCH
    programs::VirtualBoard board;
    board.TakeOptions(argc, argv);
    shell::CorvinaDevice flashDevice(state, board.bench.board);
    programs::VirtualChips<programs::FlashChipKind> device(state, board.bench.bench, flashDevice,
                                                           programs::ChipFolder("corvina-sim"));
#else
    programs::RealBoard board;
    shell::CorvinaDevice device(state, board.board);
#endif
    return RunProgram(argc, argv, {shell::Program::Corvina, [&] {
                                       auto main = std::make_unique<TfrmMainCorvina>(state, board.Parts(&device));
#ifdef CQ_BENCH
                                       main->setWindowTitle(main->windowTitle() + programs::kBenchMarker);
#endif
                                       main->SetModalWindow(shell::Window::About,
                                                            new TfrmAbout(shell::Program::Corvina, main.get()));
                                       return std::unique_ptr<QMainWindow>(std::move(main));
                                   }});
}
