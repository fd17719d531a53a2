// The message boxes of both programs, by kind.
#pragma once

#include <QString>

#include "shell/MainView.h"

class QWidget;

namespace shell::qt {

Answer ShowMessageBox(QWidget* parent, const QString& text, const QString& title, Box kind);

}  // namespace shell::qt
