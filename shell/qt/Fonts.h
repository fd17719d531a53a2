// The window fonts. Where Arial, Courier New, Arial Narrow or MS Sans Serif are
// missing, the metric-compatible Liberation fonts stand in.
#pragma once

#include <QFont>

namespace shell::qt {

void InstallFontSubstitutes();

QFont PixelFont(const char* family, int pixels, bool bold = false);

}  // namespace shell::qt
