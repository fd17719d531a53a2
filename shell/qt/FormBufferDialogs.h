// The Edit Buffer and Fill Buffer windows over their logic.
#pragma once

#include <QDialog>
#include <map>

#include "shell/BufferDialogs.h"

class QLineEdit;

namespace shell::qt {

class BufferDialogWindow : public QDialog, public DialogView {
    Q_OBJECT
public:
    void SetText(Field field, const std::string& text) override;
    std::string Text(Field field) const override;
    void SelectAll(Field field) override;
    void Close() override { accept(); }
    Answer MessageBox(const std::string& text, const std::string& title, Box kind) override;

    QLineEdit* Edit(Field field) const { return fields_.at(field); }

protected:
    BufferDialogWindow(const char* name, const QString& caption, QWidget* parent);
    QLineEdit* AddField(Field field, const char* name, const QString& label, int maxLength, int top);
    // What the dialog's key filter makes of a typed character.
    virtual KeyAction KeyPress(char key, QObject* target) = 0;
    virtual void Step() {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::map<Field, QLineEdit*> fields_;
};

class TfrmEditBuffer : public BufferDialogWindow {
    Q_OBJECT
public:
    TfrmEditBuffer(EditBufferDialog& logic, QWidget* parent = nullptr);

protected:
    KeyAction KeyPress(char key, QObject* target) override;
    void Step() override { logic_.sbtIncClick(); }

private:
    EditBufferDialog& logic_;
};

class TfrmFillBuffer : public BufferDialogWindow {
    Q_OBJECT
public:
    TfrmFillBuffer(FillBufferDialog& logic, QWidget* parent = nullptr);

protected:
    KeyAction KeyPress(char key, QObject* target) override;

private:
    FillBufferDialog& logic_;
};

}  // namespace shell::qt
