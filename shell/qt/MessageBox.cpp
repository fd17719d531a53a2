#include "shell/qt/MessageBox.h"

#include <QMessageBox>

namespace shell::qt {

Answer ShowMessageBox(QWidget* parent, const QString& text, const QString& title, Box kind) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (kind) {
        case Box::Information: box.setIcon(QMessageBox::Information); break;
        case Box::Warning:
        case Box::WarningYesNo: box.setIcon(QMessageBox::Warning); break;
        case Box::Error: box.setIcon(QMessageBox::Critical); break;
        case Box::Question: box.setIcon(QMessageBox::Question); break;
        case Box::Plain: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (kind == Box::Question || kind == Box::WarningYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

}  // namespace shell::qt
