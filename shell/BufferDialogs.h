// The Edit Buffer and Fill Buffer dialogs: their fields, key filter, checks and
// messages. Both work on the whole buffer, whatever the device.
#pragma once

#include <string>

#include "shell/AppState.h"
#include "shell/MainView.h"

namespace shell {

enum class Field { edtAdr, edtData, edtStart, edtEnd };

class DialogView {
public:
    virtual ~DialogView() = default;
    virtual void SetText(Field field, const std::string& text) = 0;
    virtual std::string Text(Field field) const = 0;
    virtual void SelectAll(Field field) = 0;
    virtual void Close() = 0;
    virtual Answer MessageBox(const std::string& text, const std::string& title, Box kind) = 0;
};

// What a typed character does.
enum class KeyAction { Pass, Swallow, SwallowAndStep };

class BufferDialog {
public:
    explicit BufferDialog(Buffer& buffer) : buffer_(buffer) {}
    virtual ~BufferDialog() = default;

    void Attach(DialogView& view) { view_ = &view; }
    bool BufferChanged() const { return changed_; }

protected:
    Buffer& buffer_;
    DialogView* view_ = nullptr;
    bool changed_ = false;
};

class EditBufferDialog : public BufferDialog {
public:
    using BufferDialog::BufferDialog;

    void Open();  // address 0000 and its value
    void btnOkClick();
    void sbtIncClick() { Step(+1); }
    void sbtDecClick() { Step(-1); }
    // `inField`: the address or data field has the focus.
    static KeyAction FormKeyPress(char key, bool inField);

private:
    // The address and value typed, once they pass the checks; else the message is shown.
    bool Take(uint16_t& address);
    void Step(int direction);
};

class FillBufferDialog : public BufferDialog {
public:
    using BufferDialog::BufferDialog;

    void Open();  // 0000 to 7FFF with FF
    void btnOkClick();
    void btnCancelClick() { view_->Close(); }
    static KeyAction FormKeyPress(char key);
};

}  // namespace shell
