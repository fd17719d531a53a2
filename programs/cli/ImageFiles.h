// The command line's files: Intel HEX through the windows' reader and writer
// and with their messages, "-" for standard input or output, a name ending
// .bin a raw image.
#pragma once

#include <string>

#include "shell/AppState.h"

namespace cli {

// Into the buffer, which the caller has erased: "OK" or the message.
std::string LoadImage(const std::string& file, shell::AppState& state);

// Entries 0 to DeviceSize - 1, replacing the file as a whole: "OK" or the message.
std::string SaveImage(const std::string& file, const shell::AppState& state);

}  // namespace cli
