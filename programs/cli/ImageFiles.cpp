#include "programs/cli/ImageFiles.h"

#include <fstream>
#include <iostream>
#include <iterator>

#include "shell/AtomicFile.h"
#include "shell/HexFile.h"

namespace cli {
namespace {

bool IsRaw(const std::string& file) { return file.size() > 4 && file.ends_with(".bin"); }

std::string RawText(const shell::AppState& state) {
    std::string bytes(state.DeviceSize, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(state.DataBuffer[i] & 0xFF);
    return bytes;
}

}  // namespace

std::string LoadImage(const std::string& file, shell::AppState& state) {
    if (file == "-") return shell::ReadHexStream(std::cin, state.DataBuffer);
    if (!IsRaw(file)) {
        state.HexFileName = file;
        shell::ReadHexFile(state);
        return state.ResultText;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return "File Opening Error . . .";
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return "File Opening Error . . .";
    // As the hex reader: nothing may land beyond the buffer.
    if (bytes.size() > state.DataBuffer.size()) return "Address out of range . . .";
    for (size_t i = 0; i < bytes.size(); ++i) state.DataBuffer[i] = static_cast<uint8_t>(bytes[i]);
    return "OK";
}

std::string SaveImage(const std::string& file, const shell::AppState& state) {
    const std::string text = IsRaw(file) ? RawText(state) : shell::HexText(state.DataBuffer, state.DeviceSize);
    if (file == "-") {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
        return std::cout ? "OK" : "File Saving Error . . .";
    }
    return shell::ReplaceFile(file, text) ? "OK" : "File Saving Error . . .";
}

}  // namespace cli
