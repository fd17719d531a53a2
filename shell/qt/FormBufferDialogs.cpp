#include "shell/qt/FormBufferDialogs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "shell/qt/Fonts.h"
#include "shell/qt/UpperCaseValidator.h"
#include "shell/qt/MessageBox.h"

namespace shell::qt {
namespace {

constexpr int kWidth = 232;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 75, 25);
    button->setAutoDefault(false);  // Enter belongs to the key filter
    return button;
}

// The character a key press types, as the key filter sees it; 0 for keys that
// type nothing (arrows, Tab, Delete), which the filter never sees.
char TypedCharacter(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return '\r';
    if (key.key() == Qt::Key_Backspace) return '\b';
    if (key.key() == Qt::Key_Escape) return '\x1b';
    const QString text = key.text();
    if (text.size() != 1 || text[0].unicode() < 0x20) return 0;
    return text[0].unicode() < 0x80 ? static_cast<char>(text[0].unicode()) : '\x7f';
}

}  // namespace

BufferDialogWindow::BufferDialogWindow(const char* name, const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(true);
    setFont(PixelFont("Arial", 12));
}

QLineEdit* BufferDialogWindow::AddField(Field field, const char* name, const QString& label, int maxLength, int top) {
    auto* text = new QLabel(label, this);
    text->setGeometry(16, top + 2, 110, 18);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(130, top, 60, 21);
    edit->setMaxLength(maxLength);
    edit->setValidator(new UpperCaseValidator(edit));
    edit->setFont(PixelFont("Arial", 12, true));
    edit->installEventFilter(this);
    fields_[field] = edit;
    return edit;
}

bool BufferDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const char key = TypedCharacter(*static_cast<QKeyEvent*>(event));
    if (key == 0) return false;
    switch (KeyPress(key, watched)) {
        case KeyAction::Pass: return false;
        case KeyAction::Swallow: return true;
        case KeyAction::SwallowAndStep: Step(); return true;
    }
    return true;
}

// Esc reaches the dialog itself from wherever the focus is.
void BufferDialogWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        KeyPress('\x1b', this);
    else
        QDialog::keyPressEvent(event);
}

void BufferDialogWindow::SetText(Field field, const std::string& text) {
    fields_.at(field)->setText(QString::fromStdString(text));
}

std::string BufferDialogWindow::Text(Field field) const { return fields_.at(field)->text().toStdString(); }

void BufferDialogWindow::SelectAll(Field field) {
    fields_.at(field)->setFocus();
    fields_.at(field)->selectAll();
}

Answer BufferDialogWindow::MessageBox(const std::string& text, const std::string& title, Box kind) {
    return ShowMessageBox(this, QString::fromStdString(text), QString::fromStdString(title), kind);
}

TfrmEditBuffer::TfrmEditBuffer(EditBufferDialog& logic, QWidget* parent)
    : BufferDialogWindow("frmEditBuffer", "Edit Buffer", parent), logic_(logic) {
    setFixedSize(kWidth, 130);
    QPushButton* ok = Button(this, "btnOk", "OK", (kWidth - 75) / 2, 88);
    QLineEdit* address = AddField(Field::edtAdr, "edtAdr", "Address :", 4, 16);
    QLineEdit* value = AddField(Field::edtData, "edtData", "Data :", 2, 48);
    setTabOrder(ok, address);
    setTabOrder(address, value);
    struct Stepper {
        const char* name;
        Qt::ArrowType arrow;
        int left;
        void (EditBufferDialog::*click)();
    };
    for (const Stepper& s : {Stepper{"sbtDec", Qt::LeftArrow, (kWidth - 75) / 2 - 33, &EditBufferDialog::sbtDecClick},
                             Stepper{"sbtInc", Qt::RightArrow, (kWidth + 75) / 2 + 8, &EditBufferDialog::sbtIncClick}}) {
        auto* button = new QToolButton(this);
        button->setObjectName(s.name);
        button->setArrowType(s.arrow);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(s.left, 88, 25, 25);
        connect(button, &QToolButton::clicked, this, [this, click = s.click] { (logic_.*click)(); });
    }
    connect(ok, &QPushButton::clicked, this, [this] { logic_.btnOkClick(); });
    logic_.Attach(*this);
}

KeyAction TfrmEditBuffer::KeyPress(char key, QObject* target) {
    if (key == '\x1b') return KeyAction::Swallow;  // only the close box ends this dialog
    return EditBufferDialog::FormKeyPress(key, target == Edit(Field::edtAdr) || target == Edit(Field::edtData));
}

TfrmFillBuffer::TfrmFillBuffer(FillBufferDialog& logic, QWidget* parent)
    : BufferDialogWindow("frmFillBuffer", "Fill Buffer", parent), logic_(logic) {
    setFixedSize(kWidth, 160);
    QPushButton* cancel = Button(this, "btnCancel", "Cancel", 32, 120);
    QPushButton* ok = Button(this, "btnOk", "OK", kWidth - 32 - 75, 120);
    QLineEdit* start = AddField(Field::edtStart, "edtStart", "Start Address :", 4, 16);
    QLineEdit* end = AddField(Field::edtEnd, "edtEnd", "End Address :", 4, 48);
    QLineEdit* value = AddField(Field::edtData, "edtData", "Data :", 2, 80);
    setTabOrder(cancel, ok);
    setTabOrder(ok, start);
    setTabOrder(start, end);
    setTabOrder(end, value);
    connect(cancel, &QPushButton::clicked, this, [this] { logic_.btnCancelClick(); });
    connect(ok, &QPushButton::clicked, this, [this] { logic_.btnOkClick(); });
    logic_.Attach(*this);
}

KeyAction TfrmFillBuffer::KeyPress(char key, QObject*) {
    if (key == '\x1b') {  // the cancel button's key
        logic_.btnCancelClick();
        return KeyAction::Swallow;
    }
    return FillBufferDialog::FormKeyPress(key);
}

}  // namespace shell::qt
