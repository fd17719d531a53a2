// Intel HEX files to and from the chip image. Both report through ResultText:
// exactly "OK", or the message to show.
#pragma once

#include <istream>
#include <string>

#include "shell/AppState.h"

namespace shell {

// Stores every data byte of the file HexFileName at its address. The caller
// clears the buffer first; on a failure the bytes read before it stay.
void ReadHexFile(AppState& state);

// The reading itself: "OK" or the message of the first failure.
std::string ReadHexStream(std::istream& in, Buffer& buffer);

// Entries 0 to size - 1 as 16-byte records and the end record.
std::string HexText(const Buffer& buffer, uint16_t size);

// Writes entries 0 to DeviceSize - 1 as 16-byte records and the end record,
// replacing HexFileName as a whole.
void WriteHexFile(AppState& state);

}  // namespace shell
