// Quillon: programs parallel EEPROMs.
#include "shell/qt/FormAbout.h"
#include "shell/qt/FormDeviceInfo.h"
#include "shell/qt/FormMainQuillon.h"
#include "shell/qt/RunProgram.h"

int main(int argc, char** argv) {
    using namespace shell::qt;
    shell::QuillonState state;
    return RunProgram(argc, argv, {shell::Program::Quillon, [&state] {
                                       auto main = std::make_unique<TfrmMainQuillon>(state);
                                       main->SetModalWindow(shell::Window::About,
                                                            new TfrmAbout(shell::Program::Quillon, main.get()));
                                       main->SetModalWindow(shell::Window::DeviceInfo, new TfrmDeviceInfo(main.get()));
                                       return std::unique_ptr<QMainWindow>(std::move(main));
                                   }});
}
