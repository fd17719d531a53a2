#include "shell/qt/RunProgram.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "shell/SingleInstance.h"
#include "shell/qt/Fonts.h"
#include "shell/qt/FormSplash.h"

namespace shell::qt {

int RunProgram(int argc, char** argv, const ProgramWindows& windows) {
    SingleInstance instance(kInstanceName);
    if (instance.outcome() == SingleInstance::Outcome::Taken) return 0;  // silently: the other one goes on

    QApplication app(argc, argv);
    InstallFontSubstitutes();
    try {
        auto* splash = new TfrmSplash(windows.program);  // frees itself when it closes
        splash->show();
        splash->repaint();
        std::unique_ptr<QMainWindow> main = windows.createMain();
        main->show();
        app.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(error.what()));
    }
    return 0;
}

}  // namespace shell::qt
