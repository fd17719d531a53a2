// Corvina: programs Atmel 89-series flash microcontrollers.
#include "shell/qt/FormAbout.h"
#include "shell/qt/FormMainCorvina.h"
#include "shell/qt/RunProgram.h"

int main(int argc, char** argv) {
    using namespace shell::qt;
    shell::CorvinaState state;
    return RunProgram(argc, argv, {shell::Program::Corvina, [&state] {
                                       auto main = std::make_unique<TfrmMainCorvina>(state);
                                       main->SetModalWindow(shell::Window::About,
                                                            new TfrmAbout(shell::Program::Corvina, main.get()));
                                       return std::unique_ptr<QMainWindow>(std::move(main));
                                   }});
}
