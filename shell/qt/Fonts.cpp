#include "shell/qt/Fonts.h"

namespace shell::qt {

void InstallFontSubstitutes() {
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Arial Narrow", "Liberation Sans Narrow");
    QFont::insertSubstitution("Courier New", "Liberation Mono");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

QFont PixelFont(const char* family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace shell::qt
