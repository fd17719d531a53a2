#include "shell/qt/FormDeviceInfo.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "eeprom/DeviceInfoText.h"
#include "shell/qt/Fonts.h"

namespace shell::qt {

TfrmDeviceInfo::TfrmDeviceInfo(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("frmDeviceInfo");
    setWindowTitle("Device Info");
    setModal(true);
    setFixedSize(353, 303);
    setAutoFillBackground(true);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(silver);

    auto* text = new QPlainTextEdit(this);
    text->setObjectName("mmoDeviceInfo");
    text->setGeometry(16, 16, 321, 233);
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(PixelFont("Courier New", 15, true));
    QPalette tip = text->palette();
    tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, Qt::black);
    text->setPalette(tip);
    QStringList lines;
    for (std::string_view line : eeprom::DeviceInfoLines()) lines << QString::fromUtf8(line.data(), int(line.size()));
    text->setPlainText(lines.join('\n'));

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OkButton");
    ok->setGeometry(133, 265, 89, 25);
    ok->setAutoDefault(false);  // Enter in the text does nothing
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);  // hidden, shown again next time
}

}  // namespace shell::qt
