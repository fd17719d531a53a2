// The About box: title, version, picture and three credit lines.
#pragma once

#include <QDialog>
#include <functional>

#include "shell/AboutCredits.h"

class QLabel;

namespace shell::qt {

class TfrmAbout : public QDialog, public AboutView {
    Q_OBJECT
public:
    // `beep` sounds the system's default beep; tests count it instead.
    explicit TfrmAbout(Program program, QWidget* parent = nullptr, std::function<void()> beep = {});

    void SetCredit(int line, const std::string& text) override;
    void Beep() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Program program_;
    std::function<void()> beep_;
    QLabel* credits_[3] = {};
};

}  // namespace shell::qt
