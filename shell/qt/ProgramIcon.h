// Each program's icon, the one its desktop entry shows, for its windows.
#pragma once

#include <QIcon>

#include "shell/AboutCredits.h"

namespace shell::qt {

// The icon in every size it is drawn in (16 to 256 pixels), from the program's resources.
QIcon ProgramIcon(Program program);

}  // namespace shell::qt
