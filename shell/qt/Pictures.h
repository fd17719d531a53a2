// The splash and About pictures, drawn by the program.
#pragma once

#include <QPixmap>

#include "shell/AboutCredits.h"

namespace shell::qt {

QPixmap SplashPicture(Program program);  // 526 x 335
QPixmap AboutPicture(Program program);   // Corvina 145 x 52, Quillon 156 x 103; transparent around

}  // namespace shell::qt
