#include "shell/qt/RunProgram.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <exception>

#include "shell/SingleInstance.h"
#include "shell/qt/Fonts.h"
#include "shell/qt/FormSplash.h"
#include "shell/qt/ProgramIcon.h"

namespace shell::qt {
namespace {

int signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(signalPipe[0], &byte, 1);
}

// A logout or `kill` closes the main window as its close box would, so the
// settings are saved; the signal waits until the running command has ended.
void CloseOnTerminate(QMainWindow& main) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &main);
    QObject::connect(notifier, &QSocketNotifier::activated, &main, [&main] {
        char byte;
        [[maybe_unused]] const ssize_t ignored = read(signalPipe[1], &byte, 1);
        main.close();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace

int RunProgram(int argc, char** argv, const ProgramWindows& windows) {
    SingleInstance instance(kInstanceName);
    if (instance.outcome() == SingleInstance::Outcome::Taken) return 0;  // silently: the other one goes on

    QApplication app(argc, argv);
    app.setWindowIcon(ProgramIcon(windows.program));  // every window's, the task bar's
    InstallFontSubstitutes();
    try {
        auto* splash = new TfrmSplash(windows.program);  // frees itself when it closes
        splash->show();
        splash->repaint();
        std::unique_ptr<QMainWindow> main = windows.createMain();
        CloseOnTerminate(*main);
        main->show();
        app.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(error.what()));
    }
    return 0;
}

}  // namespace shell::qt
