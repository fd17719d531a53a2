#include "shell/qt/ProgramIcon.h"

namespace shell::qt {

QIcon ProgramIcon(Program program) {
    const QString name = program == Program::Corvina ? "corvina" : "quillon";
    QIcon icon;
    // Pictures drawn for each size stay sharp where a scaled one would blur.
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/%1/%2.png").arg(size).arg(name), QSize(size, size));
    return icon;
}

}  // namespace shell::qt
