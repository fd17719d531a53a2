// The pictures of the three glyph buttons, drawn by the program. Everything
// around the subject is transparent.
#pragma once

#include <QPixmap>

namespace shell::qt {

QPixmap OpenFolderGlyph();  // 16 x 15: an opening yellow folder with a curved arrow
QPixmap FloppyGlyph();      // 16 x 16: a blue floppy disk
QPixmap InfoGlyph();        // 18 x 18: a white letter i on a dark blue disc

}  // namespace shell::qt
