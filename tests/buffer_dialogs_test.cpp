// Edit Buffer and Fill Buffer: the dialogs' checks, stepping and key filter,
// and what the main window makes of their changes.
#include <gtest/gtest.h>

#include "Programs.h"
#include "device/HexText.h"

namespace test {
namespace {

using shell::Field;
using shell::KeyAction;

class FakeDialog : public shell::DialogView {
public:
    void SetText(Field field, const std::string& text) override { texts[field] = text; }
    std::string Text(Field field) const override { return texts.at(field); }
    void SelectAll(Field field) override { selected = field; }
    void Close() override { closed = true; }
    Answer MessageBox(const std::string& text, const std::string& title, Box kind) override {
        boxes.push_back({text, title, kind});
        return Answer::Ok;
    }
    std::map<Field, std::string> texts;
    std::optional<Field> selected;
    bool closed = false;
    std::vector<ShownBox> boxes;
};

// The main window with both dialogs, and a user who acts in them.
struct Dialogs : ::testing::Test {
    Corvina c;
    FakeDialog edit, fill;
    std::function<void()> inEdit, inFill;
    void SetUp() override {
        c.logic.EditDialog().Attach(edit);
        c.logic.FillDialog().Attach(fill);
        c.view.onModal = [this](Window window) {
            if (window == Window::EditBuffer && inEdit) inEdit();
            if (window == Window::FillBuffer && inFill) inFill();
        };
        c.state.HexFileName = "/work/a.hex";
    }
    shell::EditBufferDialog& Edit() { return c.logic.EditDialog(); }
    shell::FillBufferDialog& Fill() { return c.logic.FillDialog(); }
    void Type(FakeDialog& dialog, Field field, const char* text) { dialog.texts[field] = text; }
};

TEST_F(Dialogs, EditOpensAtAddressZeroWithItsValue) {
    c.state.DataBuffer[0] = 0x3C;
    inEdit = [&] {
        EXPECT_EQ(edit.texts[Field::edtAdr], "0000");
        EXPECT_EQ(edit.texts[Field::edtData], "3C");
    };
    c.logic.mnuEditEditClick();
    EXPECT_EQ(c.view.shown, std::vector<Window>{Window::EditBuffer});
}

TEST_F(Dialogs, EditStepsStoreAndWrapAround) {
    struct Case {
        const char* address;
        const char* value;
        bool up;
        const char* shownAddress;
        unsigned stored;  // at the typed address
    };
    const Case cases[] = {
        {"7FFF", "12", true, "0000", 0x12},
        {"0000", "34", false, "7FFF", 0x34},
        {"0100", "ab", true, "0101", 0xAB},
        {"1", "5", false, "0000", 0x05},
    };
    for (const Case& s : cases) {
        c.state.DataBuffer[0] = 0x77;
        c.state.DataBuffer[0x7FFF] = 0x66;
        Type(edit, Field::edtAdr, s.address);
        Type(edit, Field::edtData, s.value);
        s.up ? Edit().sbtIncClick() : Edit().sbtDecClick();
        const unsigned typed = std::stoul(s.address, nullptr, 16);
        const unsigned next = std::stoul(s.shownAddress, nullptr, 16);
        EXPECT_EQ(c.state.DataBuffer[typed], s.stored) << s.address;
        EXPECT_EQ(edit.texts[Field::edtAdr], s.shownAddress) << s.address;
        EXPECT_EQ(edit.texts[Field::edtData], device::Hex2(c.state.DataBuffer[next])) << s.address;
        EXPECT_EQ(edit.selected, Field::edtData);
        EXPECT_FALSE(edit.closed);
    }
}

TEST_F(Dialogs, EditRefusesWhatIsNotAnAddressOrAByte) {
    struct Case {
        const char* address;
        const char* value;
        ShownBox box;
    };
    const Case cases[] = {
        {"", "12", {"Invalid Hex Data Input", "EDIT BUFFER", Box::Error}},
        {"0010", "", {"Invalid Hex Data Input", "EDIT BUFFER", Box::Error}},
        {"8000", "12", {"Error Address Out of Range", "EDIT BUFFER", Box::Warning}},
    };
    for (const Case& e : cases) {
        const shell::Buffer before = c.state.DataBuffer;
        for (bool ok : {false, true}) {
            edit.boxes.clear();
            edit.closed = false;
            Type(edit, Field::edtAdr, e.address);
            Type(edit, Field::edtData, e.value);
            ok ? Edit().btnOkClick() : Edit().sbtIncClick();
            EXPECT_EQ(edit.boxes, std::vector<ShownBox>{e.box}) << e.address;
            EXPECT_EQ(edit.closed, ok) << "OK closes, a step stays: " << e.address;
            EXPECT_EQ(edit.texts[Field::edtAdr], e.address) << "nothing moved";
            EXPECT_EQ(c.state.DataBuffer, before);
        }
    }
}

TEST_F(Dialogs, AnEditOfTheDeviceRangeDropsTheFileName) {
    inEdit = [&] {
        Type(edit, Field::edtAdr, "0FFF");
        Type(edit, Field::edtData, "00");
        Edit().btnOkClick();
    };
    c.logic.mnuEditEditClick();
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.state.LastFolder, "/work/");
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "EF01");
    EXPECT_TRUE(c.view.boxes.empty());
}

TEST_F(Dialogs, ChangesThatCancelOutInTheChecksumStillDropTheFileName) {
    c.state.DataBuffer[1] = 0x10;
    c.logic.ShowChecksum();
    const std::string checksum = c.view.Text(Ctl::stxCkSum);
    inEdit = [&] {
        Type(edit, Field::edtData, "FE");  // 0000: FF -> FE, one less
        Edit().sbtIncClick();
        Type(edit, Field::edtData, "11");  // 0001: 10 -> 11, one more
        Edit().btnOkClick();
    };
    c.logic.mnuEditEditClick();
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), checksum);
    EXPECT_EQ(c.state.HexFileName, "") << "the buffer no longer is the file";
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
}

TEST_F(Dialogs, EditsOutsideTheDeviceOrOfTheSameValueKeepTheFileName) {
    inEdit = [&] {
        Type(edit, Field::edtAdr, "1000");  // above the 89C51's 4096 bytes
        Type(edit, Field::edtData, "00");
        Edit().sbtIncClick();
        Type(edit, Field::edtData, "FF");  // 0x1001 already holds FF
        Edit().btnOkClick();
    };
    c.logic.mnuEditEditClick();
    EXPECT_EQ(c.state.DataBuffer[0x1000], 0x00);
    EXPECT_EQ(c.state.HexFileName, "/work/a.hex");
    EXPECT_EQ(c.view.Cell(1, 1), "FF");  // the grid was refreshed all the same
}

TEST_F(Dialogs, TheCloseBoxDropsAValueThatWasNotStored) {
    inEdit = [&] {
        Type(edit, Field::edtAdr, "0000");
        Type(edit, Field::edtData, "11");
        Edit().sbtIncClick();  // stored at 0000
        Type(edit, Field::edtData, "22");
        // closed with the close box: 0001 keeps its value
    };
    c.logic.mnuEditEditClick();
    EXPECT_EQ(c.state.DataBuffer[0], 0x11);
    EXPECT_EQ(c.state.DataBuffer[1], 0xFF);
    EXPECT_EQ(c.view.Cell(1, 1), "11");
    EXPECT_EQ(c.state.HexFileName, "");
}

TEST_F(Dialogs, FillChecksComeInTheirOrder) {
    struct Case {
        const char* start;
        const char* end;
        const char* value;
        ShownBox box;
    };
    const Case cases[] = {
        {"8000", "7FFF", "00", {"Error End Address less than Start Address", "FILL BUFFER", Box::Warning}},
        {"0000", "8000", "00", {"Error Address Out of Range", "FILL BUFFER", Box::Warning}},
        {"9000", "FFFF", "00", {"Error Address Out of Range", "FILL BUFFER", Box::Warning}},
        {"0000", "", "00", {"Invalid Hex Data Input", "FILL BUFFER", Box::Error}},
        {"9000", "0000", "", {"Invalid Hex Data Input", "FILL BUFFER", Box::Error}},
    };
    for (const Case& f : cases) {
        fill.boxes.clear();
        Type(fill, Field::edtStart, f.start);
        Type(fill, Field::edtEnd, f.end);
        Type(fill, Field::edtData, f.value);
        Fill().btnOkClick();
        EXPECT_EQ(fill.boxes, std::vector<ShownBox>{f.box}) << f.start << "-" << f.end;
        EXPECT_FALSE(fill.closed) << "the dialog stays";
        EXPECT_FALSE(Fill().BufferChanged());
    }
}

TEST_F(Dialogs, FillOpensWithTheWholeBufferAndFillsARange) {
    inFill = [&] {
        EXPECT_EQ(fill.texts[Field::edtStart], "0000");
        EXPECT_EQ(fill.texts[Field::edtEnd], "7FFF");
        EXPECT_EQ(fill.texts[Field::edtData], "FF");
        Type(fill, Field::edtStart, "0FF0");
        Type(fill, Field::edtEnd, "100F");
        Type(fill, Field::edtData, "5A");
        Fill().btnOkClick();
        EXPECT_TRUE(fill.closed);
    };
    c.logic.mnuEditFillClick();
    EXPECT_EQ(c.state.DataBuffer[0x0FEF], 0xFF);
    EXPECT_EQ(c.state.DataBuffer[0x0FF0], 0x5A);
    EXPECT_EQ(c.state.DataBuffer[0x100F], 0x5A);
    EXPECT_EQ(c.state.DataBuffer[0x1010], 0xFF);
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Data Buffer Filled", "FILL BUFFER", Box::Plain}}));
}

TEST_F(Dialogs, FillsThatLeaveTheDeviceAsItWasKeepTheFileName) {
    struct Case {
        const char* start;
        const char* end;
        const char* value;
    };
    for (const Case& f : {Case{"0000", "7FFF", "FF"}, Case{"1000", "7FFF", "00"}, Case{"7FFF", "7FFF", "00"}}) {
        c.view.boxes.clear();
        inFill = [&] {
            Type(fill, Field::edtStart, f.start);
            Type(fill, Field::edtEnd, f.end);
            Type(fill, Field::edtData, f.value);
            Fill().btnOkClick();
        };
        c.logic.mnuEditFillClick();
        EXPECT_EQ(c.state.HexFileName, "/work/a.hex") << f.start;
        EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Data Buffer Filled", "FILL BUFFER", Box::Plain}})) << f.start;
        EXPECT_EQ(c.state.DataBuffer[std::stoul(f.end, nullptr, 16)], std::stoul(f.value, nullptr, 16)) << f.start;
    }
}

TEST_F(Dialogs, FillCancelledSaysNothing) {
    inFill = [&] { Fill().btnCancelClick(); };
    c.logic.mnuEditFillClick();
    EXPECT_TRUE(fill.closed);
    EXPECT_TRUE(c.view.boxes.empty());
    EXPECT_EQ(c.state.HexFileName, "/work/a.hex");
}

TEST(KeyFilter, PassesHexDigitsAndBackspaceOnly) {
    struct Case {
        char key;
        KeyAction inEditField, elsewhereInEdit, inFill;
    };
    const Case cases[] = {
        {'0', KeyAction::Pass, KeyAction::Pass, KeyAction::Pass},
        {'f', KeyAction::Pass, KeyAction::Pass, KeyAction::Pass},
        {'F', KeyAction::Pass, KeyAction::Pass, KeyAction::Pass},
        {'\b', KeyAction::Pass, KeyAction::Pass, KeyAction::Pass},
        {'G', KeyAction::Swallow, KeyAction::Swallow, KeyAction::Swallow},
        {' ', KeyAction::Swallow, KeyAction::Swallow, KeyAction::Swallow},
        {'-', KeyAction::Swallow, KeyAction::Swallow, KeyAction::Swallow},
        {'\r', KeyAction::SwallowAndStep, KeyAction::Swallow, KeyAction::Swallow},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(shell::EditBufferDialog::FormKeyPress(k.key, true), k.inEditField) << int(k.key);
        EXPECT_EQ(shell::EditBufferDialog::FormKeyPress(k.key, false), k.elsewhereInEdit) << int(k.key);
        EXPECT_EQ(shell::FillBufferDialog::FormKeyPress(k.key), k.inFill) << int(k.key);
    }
}

}  // namespace
}  // namespace test
