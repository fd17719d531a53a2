// The application state of one program: the chip image and what the user has
// chosen. One instance per program, owned by the entry point and handed to
// the logic; nothing else holds state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "io/PortTable.h"

namespace shell {

inline constexpr int kBufferEntries = 32768;
inline constexpr uint16_t kErasedEntry = 0x00FF;

using Buffer = std::array<uint16_t, kBufferEntries>;

struct AppState {
    Buffer DataBuffer{};
    uint16_t DeviceType = 0;
    uint16_t DeviceSize = 0;
    uint16_t PortBase = io::kDefaultPortBase;
    std::string HexFileName;
    std::string LastFolder;
    std::string ResultText;

    void EraseBuffer() { DataBuffer.fill(kErasedEntry); }
};

struct CorvinaState : AppState {
    uint16_t ProgramBits = 0;  // bit 0..3: Lock Bit-1, -2, -3, ISP fuse
};

struct QuillonState : AppState {
    QuillonState() { DeviceType = 2; }  // 28C64
    uint16_t WriteDelayIndex = 4;       // "  10 msec"
    uint16_t WriteDelayTicks = 0;
    uint16_t BufferStart = 0;
    uint16_t BufferEnd = 0;
    uint16_t DeviceStart = 0;
};

}  // namespace shell
