// The picture window shown while the program starts. It closes itself after
// five seconds and frees itself on closing.
#pragma once

#include <QWidget>

#include "shell/AboutCredits.h"

class QTimer;

namespace shell::qt {

inline constexpr int kSplashMilliseconds = 5000;

class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(Program program);

    QTimer* Timer1() const { return timer_; }

private:
    QTimer* timer_;
};

}  // namespace shell::qt
