// Each program's logic on a fake view, with its settings in a folder of its own.
#pragma once

#include "FakeMainView.h"
#include "TempFolder.h"
#include "shell/CorvinaMain.h"
#include "shell/QuillonMain.h"
#include "sim/BenchBoard.h"

namespace test {

template <class State, class Logic>
struct Program {
    TempFolder folder;
    State state;
    FakeMainView view;
    sim::BenchBoard board;
    Logic logic;
    explicit Program(bool create = true, shell::DeviceLayer* device = nullptr)
        : logic(state, view, {board.bench, board.timer, board.board, device},
                shell::SettingsLocation("Program.set", {folder.path()})) {
        if (create) logic.FormCreate();
    }
};

using Corvina = Program<shell::CorvinaState, shell::CorvinaMain>;
using Quillon = Program<shell::QuillonState, shell::QuillonMain>;

}  // namespace test
