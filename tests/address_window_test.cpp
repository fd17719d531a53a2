// Quillon's device list, write delay and address fields.
#include <gtest/gtest.h>

#include "Programs.h"
#include "shell/QuillonMain.h"

namespace test {
namespace {

enum Type : int { AT28C16 = 0, AT28C64 = 2, AT28C256 = 3, AT29C256 = 4, AT2816 = 5, AT2817 = 6, AT2864 = 7 };

struct QuillonTest : ::testing::Test {
    Quillon program;
    shell::QuillonState& state = program.state;
    FakeMainView& view = program.view;
    shell::QuillonMain& logic = program.logic;

    void Choose(int type) {
        view.items[Ctl::cboType] = type;
        logic.cboTypeChange();
    }
    void ChooseDelay(int index) {
        view.items[Ctl::cboWriteDelay] = index;
        logic.cboWriteDelayChange();
    }
};

TEST_F(QuillonTest, AddressFieldsCorrectWhatWasTyped) {
    enum Field { BufStart, BufEnd, E2Start };
    struct Case {
        int type;
        Field field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {AT28C16, BufStart, "FFFF", "0000"},  {AT28C64, BufStart, "FFFF", "0000"},
        {AT28C256, BufStart, "FFFF", "0000"}, {AT28C16, BufEnd, "FFFF", "07FF"},
        {AT28C64, BufEnd, "FFFF", "1FFF"},    {AT29C256, BufEnd, "FFFF", "7FFF"},
        {AT28C256, E2Start, "ZZ", "7FFF"},    {AT29C256, E2Start, "ZZ", "7FFF"},
        {AT28C16, E2Start, "ZZ", "0000"},     {AT28C64, E2Start, "ZZ", "0000"},
        {AT28C64, BufStart, "", "0000"},      {AT28C64, BufEnd, "", "1FFF"},
        {AT28C256, BufEnd, "", "7FFF"},       {AT28C256, BufStart, "7ff", "07FF"},
        {AT28C16, BufStart, "07FF", "07FF"},  {AT28C16, BufStart, "0800", "0000"},
        {AT28C64, BufStart, "1FFF", "1FFF"},  {AT28C64, BufStart, "2000", "0000"},
        {AT28C16, BufEnd, "0800", "07FF"},    {AT28C16, BufEnd, "12", "0012"},
        {AT28C16, E2Start, "100", "0100"},    {AT2864, E2Start, "2000", "0000"},
        {AT28C256, E2Start, "8000", "7FFF"},  {AT28C256, BufStart, "8000", "0000"},
        {AT28C16, BufStart, "0x12", "0000"},  {AT28C16, BufEnd, "-1", "07FF"},
        {AT28C256, BufStart, "7FFF", "7FFF"},  // the top address itself is in range
        {AT28C256, BufStart, "18000", "0000"}, {AT28C16, BufEnd, "10005", "07FF"},  // above 16 bits: not cut to them
    };
    const Ctl ctls[] = {Ctl::edtBufStart, Ctl::edtBufEnd, Ctl::edtE2Start};
    const std::function<uint16_t()> values[] = {[&] { return state.BufferStart; }, [&] { return state.BufferEnd; },
                                                [&] { return state.DeviceStart; }};
    for (const Case& c : cases) {
        Choose(c.type);
        view.texts[ctls[c.field]] = c.typed;
        switch (c.field) {
            case BufStart: logic.edtBufStartExit(); break;
            case BufEnd: logic.edtBufEndExit(); break;
            case E2Start: logic.edtE2StartExit(); break;
        }
        EXPECT_EQ(view.Text(ctls[c.field]), c.shown) << c.type << " " << c.field << " '" << c.typed << "'";
        EXPECT_EQ(values[c.field](), std::stoi(c.shown, nullptr, 16)) << c.type << " '" << c.typed << "'";
    }
}

TEST_F(QuillonTest, ATypeChangeResetsTheWindowToTheWholeDevice) {
    view.texts[Ctl::edtBufStart] = "0100";
    logic.edtBufStartExit();
    view.texts[Ctl::edtE2Start] = "0200";
    logic.edtE2StartExit();
    Choose(AT28C16);
    EXPECT_EQ(view.Text(Ctl::edtBufStart), "0000");
    EXPECT_EQ(view.Text(Ctl::edtBufEnd), "07FF");
    EXPECT_EQ(view.Text(Ctl::edtE2Start), "0000");
    EXPECT_EQ(state.BufferStart, 0);
    EXPECT_EQ(state.BufferEnd, 0x7FF);
    EXPECT_EQ(state.DeviceStart, 0);
    EXPECT_EQ(state.DeviceSize, 0x800);
    EXPECT_EQ(view.Text(Ctl::stxCkSum), "F800");
}

TEST_F(QuillonTest, WriteDelayTicksFollowTheList) {
    const uint16_t ticks[] = {1193, 2387, 3579, 5965, 11932};
    for (int index = 0; index < 5; ++index) {
        ChooseDelay(index);
        EXPECT_EQ(state.WriteDelayIndex, index);
        EXPECT_EQ(state.WriteDelayTicks, ticks[index]);
    }
}

TEST_F(QuillonTest, OldEepromsForceTheLongDelayOnlyWhenChosen) {
    for (int type : {AT2816, AT2817, AT2864}) {
        ChooseDelay(0);
        Choose(type);
        EXPECT_EQ(view.ItemIndex(Ctl::cboWriteDelay), 4) << type;
        EXPECT_EQ(state.WriteDelayIndex, 4) << type;
        EXPECT_EQ(state.WriteDelayTicks, 11932) << type;
    }
    Choose(AT2816);
    Choose(AT28C64);  // stays at 10 msec
    EXPECT_EQ(view.ItemIndex(Ctl::cboWriteDelay), 4);
    ChooseDelay(1);   // the user may still choose a shorter one
    Choose(AT28C16);
    EXPECT_EQ(view.ItemIndex(Ctl::cboWriteDelay), 1);
    EXPECT_EQ(state.WriteDelayTicks, 2387);
}

}  // namespace
}  // namespace test
