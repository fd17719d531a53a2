#include "shell/qt/FormSplash.h"

#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "shell/qt/Pictures.h"

namespace shell::qt {

TfrmSplash::TfrmSplash(Program program) : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("frmSplash");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(548, 405);
    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    image->setGeometry(rect());
    image->setScaledContents(true);
    image->setPixmap(SplashPicture(program));
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kSplashMilliseconds);
    connect(timer_, &QTimer::timeout, this, &QWidget::close);
    timer_->start();
}

}  // namespace shell::qt
