#include "shell/HexFile.h"

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "shell/AtomicFile.h"
#include "device/HexText.h"

namespace shell {

using device::Hex2;
using device::Hex4;
using device::ParseHex;
namespace {

constexpr size_t kMaxLine = 127;  // characters, a line end counting as one
constexpr uint32_t kHighestAddress = 0x7FFF;

enum RecordType : uint32_t { kData = 0x00, kSegmentAddress = 0x02, kLinearAddress = 0x04 };

// Reads lines of at most kMaxLine characters; a longer line comes in pieces,
// each a line of its own. The line end is LF or CR LF.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}

    bool Next(std::string& line) {
        line.clear();
        if (in_.peek() == std::char_traits<char>::eof()) return false;
        while (line.size() < kMaxLine) {
            const int c = in_.get();
            if (c == std::char_traits<char>::eof() || c == '\n') break;
            if (c == '\r' && in_.peek() == '\n') {
                in_.get();
                break;
            }
            line.push_back(static_cast<char>(c));
        }
        return true;
    }

private:
    std::istream& in_;
};

// A field that is not hex digits stops the load with the message the user
// would see for any text that is not a number.
struct ConversionError {
    std::string message;
};

uint32_t Field(std::string_view line, size_t first, size_t count) {
    const std::string_view text = first < line.size() ? line.substr(first, count) : std::string_view();
    if (text.size() == count)
        if (const auto value = ParseHex(text)) return *value;
    throw ConversionError{"'0x" + std::string(text) + "' is not a valid integer value"};
}

// One file's reading: the address offset that extended-address records set
// holds for the data records after them.
class HexReader {
public:
    explicit HexReader(Buffer& buffer) : buffer_(buffer) {}

    // "OK" or the message of the first failure.
    std::string Read(std::istream& in) {
        LineReader lines(in);
        std::string line;
        try {
            while (lines.Next(line)) {
                if (line.empty() || line[0] != ':') return "Invalid Hex File Format . . .";
                if (std::string failure = Record(line); !failure.empty()) return failure;
            }
        } catch (const ConversionError& error) {
            return error.message;
        }
        return "OK";
    }

private:
    // Characters count from 0 here: the colon is at 0, the type at 7 and 8.
    std::string Record(std::string_view line) {
        const uint32_t type = Field(line, 7, 2);
        if (type == kSegmentAddress) offset_ = Field(line, 9, 4) << 4;
        if (type == kLinearAddress) offset_ = Field(line, 9, 4) << 16;
        if (type != kData) return {};

        const uint32_t count = Field(line, 1, 2);
        const uint32_t address = Field(line, 3, 4);
        uint32_t sum = count + (address & 0xFF) + (address >> 8);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t target = offset_ + address + i;
            if (target > kHighestAddress) return "Address out of range . . .";
            const uint32_t value = Field(line, 9 + 2 * i, 2);
            buffer_[target] = static_cast<uint16_t>(value);
            sum += value;
        }
        sum += Field(line, 9 + 2 * count, 2);
        if (sum % 256 != 0) return "Data Checksum Error . . .";
        return {};
    }

    Buffer& buffer_;
    uint32_t offset_ = 0;
};

}  // namespace

void ReadHexFile(AppState& state) {
    std::ifstream in(state.HexFileName, std::ios::binary);
    if (!in) {
        state.ResultText = "File Opening Error . . .";
        return;
    }
    state.ResultText = ReadHexStream(in, state.DataBuffer);
}

std::string ReadHexStream(std::istream& in, Buffer& buffer) { return HexReader(buffer).Read(in); }

std::string HexText(const Buffer& buffer, uint16_t size) {
    std::string text;
    text.reserve(size / 16 * 45 + 13);
    for (unsigned block = 0; block + 16 <= size; block += 16) {
        unsigned sum = 0x10 + (block >> 8) + (block & 0xFF);
        text += ":10" + Hex4(block) + "00";
        for (unsigned i = 0; i < 16; ++i) {
            const unsigned value = buffer[block + i] & 0xFF;
            text += Hex2(value);
            sum += value;
        }
        text += Hex2(0x100 - (sum & 0xFF)) + "\r\n";
    }
    text += ":00000001FF\r\n";
    return text;
}

void WriteHexFile(AppState& state) {
    state.ResultText =
        ReplaceFile(state.HexFileName, HexText(state.DataBuffer, state.DeviceSize)) ? "OK" : "File Saving Error . . .";
}

}  // namespace shell
