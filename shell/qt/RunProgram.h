// Start-up and shutdown of either program: the single-instance guard, the
// splash, the windows in their order, the event loop.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "shell/AboutCredits.h"

namespace shell::qt {

struct ProgramWindows {
    Program program;
    // Makes the main window; its construction runs the start-up sequence and
    // adds the program's modal windows to it.
    std::function<std::unique_ptr<QMainWindow>()> createMain;
};

int RunProgram(int argc, char** argv, const ProgramWindows& windows);

}  // namespace shell::qt
