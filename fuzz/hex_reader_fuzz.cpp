// Any bytes as a hex file: the reader must stop cleanly with one of its
// messages, and every entry it stores must stay a byte.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "shell/HexFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::Buffer buffer;
    buffer.fill(shell::kErasedEntry);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::string result = shell::ReadHexStream(in, buffer);
    const bool known = result == "OK" || result == "Invalid Hex File Format . . ." ||
                       result == "Address out of range . . ." || result == "Data Checksum Error . . ." ||
                       (result.starts_with("'0x") && result.ends_with("' is not a valid integer value"));
    if (!known) std::abort();
    for (uint16_t entry : buffer)
        if (entry > 0xFF) std::abort();
    return 0;
}
