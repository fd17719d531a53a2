// File names as the status bar and the settings file see them.
#pragma once

#include <string>
#include <string_view>

namespace shell {

// The text after the last path separator ('/'), all of it when there is none.
std::string NamePart(std::string_view path);

// The path up to and including its last separator; empty when there is none.
std::string FolderPart(std::string_view path);

// Only a to z change; every other character stays as it is.
std::string UpperAscii(std::string_view text);

}  // namespace shell
