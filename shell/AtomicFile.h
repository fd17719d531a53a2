// Replaces a file as a whole: the bytes go to a temporary file in the same
// folder, which is then renamed over the old one, so a failed save leaves the
// old file as it was.
#pragma once

#include <string>
#include <string_view>

namespace shell {

bool ReplaceFile(const std::string& path, std::string_view contents);

}  // namespace shell
