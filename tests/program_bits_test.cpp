// Corvina's device list and program-bit boxes.
#include <gtest/gtest.h>

#include "Programs.h"
#include "shell/CorvinaMain.h"

namespace test {
namespace {

enum Type : int { AT89C51 = 0, AT89C4051 = 6, AT89S53 = 7, AT89S8252 = 8, AT89C55WD = 9 };

struct CorvinaTest : ::testing::Test {
    Corvina program;
    shell::CorvinaState& state = program.state;
    FakeMainView& view = program.view;
    shell::CorvinaMain& logic = program.logic;

    void Choose(int type) {
        view.items[Ctl::cboType] = type;
        logic.cboTypeChange();
    }
    // A user click flips the box, then its handler runs.
    void Click(Ctl box, void (shell::CorvinaMain::*handler)()) {
        view.checked[box] = !view.Checked(box);
        (logic.*handler)();
    }
    void CheckAllOn89S53() {
        Choose(AT89S53);
        const std::pair<Ctl, void (shell::CorvinaMain::*)()> boxes[] = {
            {Ctl::chkLB1, &shell::CorvinaMain::chkLB1Click},
            {Ctl::chkLB2, &shell::CorvinaMain::chkLB2Click},
            {Ctl::chkLB3, &shell::CorvinaMain::chkLB3Click},
            {Ctl::chkISP, &shell::CorvinaMain::chkISPClick},
        };
        for (auto [box, handler] : boxes)
            if (!view.Checked(box)) Click(box, handler);
        ASSERT_EQ(state.ProgramBits, 0x0F);
    }
};

TEST_F(CorvinaTest, DeviceSizesFollowTheList) {
    const std::pair<int, uint16_t> sizes[] = {{0, 0x1000}, {1, 0x2000}, {2, 0x5000}, {3, 0x400}, {4, 0x400},
                                              {5, 0x800},  {6, 0x1000}, {7, 0x3000}, {8, 0x2800}, {9, 0x5000}};
    for (auto [type, size] : sizes) {
        Choose(type);
        EXPECT_EQ(state.DeviceSize, size) << type;
    }
}

TEST_F(CorvinaTest, The89C51RCComesOnlyFromSettingsAndUnknownTypesKeepTheSize) {
    state.DeviceType = 10;
    logic.SetDeviceSize();
    EXPECT_EQ(state.DeviceSize, 0x8000);
    state.DeviceType = 11;
    logic.SetDeviceSize();
    EXPECT_EQ(state.DeviceSize, 0x8000);
}

TEST_F(CorvinaTest, ClicksSetAndClearTheirBits) {
    Click(Ctl::chkLB3, &shell::CorvinaMain::chkLB3Click);
    EXPECT_EQ(state.ProgramBits, 0x04);
    Click(Ctl::chkLB1, &shell::CorvinaMain::chkLB1Click);
    EXPECT_EQ(state.ProgramBits, 0x05);
    Click(Ctl::chkLB3, &shell::CorvinaMain::chkLB3Click);
    EXPECT_EQ(state.ProgramBits, 0x01);
    EXPECT_FALSE(view.Enabled(Ctl::chkISP));  // the 89C51 has no ISP fuse
}

TEST_F(CorvinaTest, BoxesFollowTheDeviceAndClearBitsTheyUncheck) {
    struct Case {
        int type;
        uint16_t bits;
        bool lb3Enabled, lb3Checked, ispEnabled, ispChecked;
    };
    const Case cases[] = {
        {AT89S8252, 0x0F, true, true, true, true},
        {AT89C55WD, 0x07, true, true, false, false},
        {AT89C4051, 0x03, false, false, false, false},
        {AT89C51, 0x07, true, true, false, false},
    };
    for (const Case& c : cases) {
        CheckAllOn89S53();
        Choose(c.type);
        EXPECT_EQ(state.ProgramBits, c.bits) << c.type;
        EXPECT_TRUE(view.Checked(Ctl::chkLB1) && view.Checked(Ctl::chkLB2)) << c.type;
        EXPECT_EQ(view.Enabled(Ctl::chkLB3), c.lb3Enabled) << c.type;
        EXPECT_EQ(view.Checked(Ctl::chkLB3), c.lb3Checked) << c.type;
        EXPECT_EQ(view.Enabled(Ctl::chkISP), c.ispEnabled) << c.type;
        EXPECT_EQ(view.Checked(Ctl::chkISP), c.ispChecked) << c.type;
    }
}

TEST_F(CorvinaTest, ABitClearedByADeviceStaysClearedOnTheWayBack) {
    CheckAllOn89S53();
    Choose(AT89C4051);
    EXPECT_EQ(state.DeviceSize, 4096);
    Choose(AT89S53);
    EXPECT_EQ(state.ProgramBits, 0x03);
    EXPECT_TRUE(view.Enabled(Ctl::chkLB3));
    EXPECT_FALSE(view.Checked(Ctl::chkLB3));
    EXPECT_TRUE(view.Enabled(Ctl::chkISP));
    EXPECT_FALSE(view.Checked(Ctl::chkISP));
}

TEST_F(CorvinaTest, AnUnknownTypeLeavesLockBit3AndIspAsTheyAre) {
    CheckAllOn89S53();
    state.DeviceType = 12;
    logic.RefreshProgramBits();
    EXPECT_EQ(state.ProgramBits, 0x0F);
    EXPECT_TRUE(view.Checked(Ctl::chkLB3) && view.Checked(Ctl::chkISP));
}

}  // namespace
}  // namespace test
