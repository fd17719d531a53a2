// Any bytes as a settings file: the loader must keep every setting within the
// range the rest of the program relies on, and never name a file by a
// relative path.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FakeMainView.h"
#include "shell/CorvinaMain.h"
#include "shell/QuillonMain.h"
#include "sim/BenchBoard.h"

namespace {

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "cq-fuzz-XXXXXX").string();
        return std::filesystem::path(mkdtemp(pattern.data()));
    }();
    return folder;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(Folder() / "Fuzz.set", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const shell::SettingsLocation location("Fuzz.set", {Folder()});
    {
        shell::CorvinaState state;
        test::FakeMainView view;
        sim::BenchBoard board;
        shell::CorvinaMain corvina(state, view, {board.bench, board.timer, board.board}, location);
        corvina.FormCreate();
        Check(state.DeviceType <= 10 && state.ProgramBits <= 0x0F);
        Check(state.PortBase == 0x378 || state.PortBase == 0x278 || state.PortBase == 0x3BC);
        Check(state.HexFileName.empty() || state.HexFileName.starts_with('/'));
        Check(state.DeviceSize > 0 && state.DeviceSize <= 0x8000);
    }
    {
        shell::QuillonState state;
        test::FakeMainView view;
        sim::BenchBoard board;
        shell::QuillonMain quillon(state, view, {board.bench, board.timer, board.board}, location);
        quillon.FormCreate();
        Check(state.DeviceType <= 7 && state.WriteDelayIndex <= 4);
        Check(state.BufferEnd == state.DeviceSize - 1);
    }
    return 0;
}
