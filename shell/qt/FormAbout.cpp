#include "shell/qt/FormAbout.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "shell/qt/Fonts.h"
#include "shell/qt/Pictures.h"

namespace shell::qt {
namespace {

constexpr int kWidth = 298;
constexpr int kPanelWidth = 281;

QLabel* CentredLabel(QWidget* parent, const QString& text, int top, int height, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(8, top, kPanelWidth - 16, height);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setFont(font);
    return label;
}

}  // namespace

TfrmAbout::TfrmAbout(Program program, QWidget* parent, std::function<void()> beep)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), program_(program), beep_(std::move(beep)) {
    const bool corvina = program == Program::Corvina;
    setObjectName("frmAbout");
    setWindowTitle(corvina ? "About  CORVINA" : "About  Quillon");
    setModal(true);
    setFixedSize(kWidth, 300);
    setAutoFillBackground(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);

    auto* panel = new QFrame(this);
    panel->setGeometry(8, 8, kPanelWidth, 245);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);  // double lowered bevel

    auto* title = CentredLabel(panel, corvina ? "ATMEL 89 Series Flash Programmer" : "EEPROM  Programmer", 10, 22,
                               PixelFont("Arial", 14, true));
    title->setObjectName("lblAboutTitle");
    auto* version = CentredLabel(panel, corvina ? "Version  2.0" : "Version  1.0", 34, 18, PixelFont("Arial", 12));
    version->setObjectName("lblAboutVer");

    const QPixmap picture = AboutPicture(program);
    auto* image = new QLabel(panel);
    image->setObjectName("imgAbout");
    image->setPixmap(picture);
    image->setGeometry((kPanelWidth - picture.width()) / 2, 58, picture.width(), picture.height());

    const int creditsTop = 58 + picture.height() + 8;
    const char* names[3] = {"lblAboutM1", "lblAboutM2", "lblAboutM3"};
    for (int i = 0; i < 3; ++i) {
        credits_[i] = CentredLabel(panel, {}, creditsTop + i * 22, 20, PixelFont("Arial", 11));
        credits_[i]->setObjectName(names[i]);
    }
    panel->setFixedHeight(creditsTop + 3 * 22 + 8);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    ok->setGeometry((kWidth - 75) / 2, panel->geometry().bottom() + 12, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedHeight(ok->geometry().bottom() + 12);
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) ShowAboutCredits(program_, *this);
}

void TfrmAbout::SetCredit(int line, const std::string& text) {
    if (line >= 0 && line < 3) credits_[line]->setText(QString::fromStdString(text));
}

void TfrmAbout::Beep() {
    if (beep_)
        beep_();
    else
        QApplication::beep();
}

}  // namespace shell::qt
