// The main-window logic shared by both programs, run against the fake view.
#include <gtest/gtest.h>

#include "Programs.h"

namespace test {
namespace {

TEST(FreshStart, CorvinaShowsAnErased89C51) {
    Corvina c;
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "F000");
    EXPECT_EQ(c.state.DeviceSize, 4096);
    EXPECT_EQ(c.view.ItemIndex(Ctl::cboType), 0);
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
    EXPECT_FALSE(c.view.Visible(Ctl::stxCmd));
    EXPECT_FALSE(c.view.Visible(Ctl::stxAdres));
    EXPECT_TRUE(c.view.Checked(Ctl::mnuPortLpt1));
    EXPECT_FALSE(c.view.Checked(Ctl::mnuPortLpt2));
    EXPECT_FALSE(c.view.Checked(Ctl::mnuPortLpt3));
    EXPECT_EQ(c.view.Cell(1, 1), "FF");
}

TEST(FreshStart, QuillonShowsAnErased28C64With10msec) {
    Quillon q;
    EXPECT_EQ(q.view.Text(Ctl::stxCkSum), "E000");
    EXPECT_EQ(q.state.DeviceSize, 8192);
    EXPECT_EQ(q.view.ItemIndex(Ctl::cboType), 2);
    EXPECT_EQ(q.view.ItemIndex(Ctl::cboWriteDelay), 4);
    EXPECT_EQ(q.state.WriteDelayTicks, 11932);
    EXPECT_EQ(q.view.Text(Ctl::edtBufStart), "0000");
    EXPECT_EQ(q.view.Text(Ctl::edtBufEnd), "1FFF");
    EXPECT_EQ(q.view.Text(Ctl::edtE2Start), "0000");
}

TEST(Checksum, IsTheLow16BitsOfTheDeviceBytes) {
    struct Case {
        uint16_t deviceSize;
        const char* digits;
    };
    for (const Case& c : {Case{4096, "F000"}, Case{2048, "F800"}, Case{8192, "E000"}, Case{32768, "8000"},
                          Case{0, "0000"}}) {
        Corvina corvina;
        corvina.state.DeviceSize = c.deviceSize;
        corvina.logic.ShowChecksum();
        EXPECT_EQ(corvina.view.Text(Ctl::stxCkSum), c.digits) << c.deviceSize;
    }
}

TEST(Checksum, ShowsFourDigitsWithLeadingZeros) {
    Corvina c;
    c.state.DataBuffer.fill(0);
    c.state.DataBuffer[4095] = 0xA5;
    c.logic.ShowChecksum();
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "00A5");
}

TEST(Checksum, CountsOnlyEntriesBelowDeviceSize) {
    Quillon q;  // pick the 28C16, 2048 entries
    q.view.items[Ctl::cboType] = 0;
    q.logic.cboTypeChange();
    ASSERT_EQ(q.view.Text(Ctl::stxCkSum), "F800");
    q.state.DataBuffer[0x0800] = 0x00;
    q.logic.ShowChecksum();
    EXPECT_EQ(q.view.Text(Ctl::stxCkSum), "F800");
    q.state.DataBuffer[0x07FF] = 0x00;
    q.logic.ShowChecksum();
    EXPECT_EQ(q.view.Text(Ctl::stxCkSum), "F701");
}

TEST(TypeChange, ChangesTheChecksumButNotTheGrid) {
    Corvina c;
    c.state.DataBuffer[3] = 0x12;  // not shown yet: a refresh would show it
    const int writes = c.view.cellWrites;
    c.view.items[Ctl::cboType] = 1;  // 89C52
    c.logic.cboTypeChange();
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "DF13");
    EXPECT_EQ(c.view.cellWrites, writes);
    EXPECT_EQ(c.view.Cell(4, 1), "FF");
}

TEST(Grid, HeadersNameColumnsAndRowAddresses) {
    Corvina c;
    EXPECT_EQ(c.view.column0Width, 36);
    EXPECT_EQ(c.view.Cell(1, 0), "00");
    EXPECT_EQ(c.view.Cell(11, 0), "0A");
    EXPECT_EQ(c.view.Cell(16, 0), "0F");
    EXPECT_EQ(c.view.cells.count({0, 0}), 0u);
    EXPECT_EQ(c.view.Cell(0, 1), " 0000");
    EXPECT_EQ(c.view.Cell(0, 2), " 0010");
    EXPECT_EQ(c.view.Cell(0, 2048), " 7FF0");
}

TEST(Grid, ScrolledToTheEndShowsTheLastEntries) {
    Corvina c;
    for (size_t i = 0; i < c.state.DataBuffer.size(); ++i) c.state.DataBuffer[i] = i & 0xFF;
    c.view.topRow = 2041;
    c.logic.strGridTopLeftChanged();
    EXPECT_EQ(c.view.Cell(0, 2041), " 7F80");
    EXPECT_EQ(c.view.Cell(1, 2041), "80");  // entry 0x7F80
    EXPECT_EQ(c.view.Cell(11, 2041), "8A");
    EXPECT_EQ(c.view.Cell(16, 2048), "FF");  // entry 0x7FFF
    EXPECT_EQ(c.view.Cell(11, 2048), "FA");
    EXPECT_EQ(c.view.Cell(1, 2040), "");     // above the view: never written
    EXPECT_TRUE(c.view.Enabled(Ctl::strGrid));
}

TEST(Grid, ShowsEveryByteAsTwoUpperCaseDigits) {
    Corvina c;
    c.state.DataBuffer[0] = 0x0A;
    c.state.DataBuffer[1] = 0xBC;
    c.state.DataBuffer[127] = 0x00;
    c.logic.RefreshGrid();
    EXPECT_EQ(c.view.Cell(1, 1), "0A");
    EXPECT_EQ(c.view.Cell(2, 1), "BC");
    EXPECT_EQ(c.view.Cell(16, 8), "00");
}

struct ClearBuffer : ::testing::Test {
    Corvina c;
    void SetUp() override {
        c.state.HexFileName = "/home/ann/work/blink.hex";
        c.state.LastFolder = "/elsewhere/";
        c.state.DataBuffer[0] = 0x02;
        c.logic.RefreshGrid();
        c.logic.RefreshFileLabel();
    }
};

TEST_F(ClearBuffer, AnsweredNoChangesNothing) {
    c.view.answers = {Answer::No};
    c.logic.mnuEditClearClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Clear Data Buffer", "CLEAR BUFFER", Box::Question}}));
    EXPECT_EQ(c.state.DataBuffer[0], 0x02);
    EXPECT_EQ(c.state.HexFileName, "/home/ann/work/blink.hex");
    EXPECT_EQ(c.state.LastFolder, "/elsewhere/");
    EXPECT_EQ(c.view.panels[0], " Hex File :  BLINK.HEX");
}

TEST_F(ClearBuffer, AnsweredYesErasesAndForgetsTheFile) {
    c.view.answers = {Answer::Yes};
    c.logic.mnuEditClearClick();
    EXPECT_EQ(c.view.boxes, (std::vector<ShownBox>{{"Clear Data Buffer", "CLEAR BUFFER", Box::Question},
                                                   {"Data Buffer Cleared", "CLEAR BUFFER", Box::Information}}));
    for (uint16_t entry : c.state.DataBuffer) ASSERT_EQ(entry, 0x00FF);
    EXPECT_EQ(c.view.Cell(1, 1), "FF");
    EXPECT_EQ(c.view.Text(Ctl::stxCkSum), "F000");
    EXPECT_EQ(c.state.HexFileName, "");
    EXPECT_EQ(c.state.LastFolder, "/home/ann/work/");  // the next dialog starts there
    EXPECT_EQ(c.view.panels[0], " Hex File :  NONE");
}

TEST(FileLabel, ShowsTheNamePartInUpperCase) {
    struct Case {
        const char* hexFileName;
        const char* label;
    };
    const Case cases[] = {
        {"", " Hex File :  NONE"},
        {"/home/ann/work/blink.hex", " Hex File :  BLINK.HEX"},
        {"blink.hex", " Hex File :  BLINK.HEX"},
        {"/home/ann/Übung/tür_1.hex", " Hex File :  TüR_1.HEX"},  // only a to z change
        {"/home/ann/a\\b.hex", " Hex File :  A\\B.HEX"},           // a backslash is part of a Linux name
    };
    for (const Case& c : cases) {
        Corvina corvina;
        corvina.state.HexFileName = c.hexFileName;
        corvina.logic.RefreshFileLabel();
        EXPECT_EQ(corvina.view.panels[0], c.label) << c.hexFileName;
    }
}

TEST(RememberFolder, KeepsTheFolderOfTheCurrentFile) {
    struct Case {
        const char* hexFileName;
        const char* lastFolder;
    };
    const Case cases[] = {
        {"/home/ann/work/blink.hex", "/home/ann/work/"},
        {"/blink.hex", "/"},
        {"blink.hex", ""},
        {"", "/before/"},  // no file: the folder stays
    };
    for (const Case& c : cases) {
        Corvina corvina;
        corvina.state.LastFolder = "/before/";
        corvina.state.HexFileName = c.hexFileName;
        corvina.logic.RememberFolder();
        EXPECT_EQ(corvina.state.LastFolder, c.lastFolder) << c.hexFileName;
    }
}

TEST(PortMenu, MarksFollowPortBase) {
    struct Case {
        uint16_t portBase;
        bool lpt1, lpt2, lpt3;
    };
    // The marks start as 1 and 3 checked; an unknown base leaves them so.
    const Case cases[] = {
        {0x378, true, false, false},
        {0x278, false, true, false},
        {0x3BC, false, false, true},
        {0x2BC, true, false, true},
    };
    for (const Case& c : cases) {
        Corvina corvina;
        corvina.view.checked = {{Ctl::mnuPortLpt1, true}, {Ctl::mnuPortLpt2, false}, {Ctl::mnuPortLpt3, true}};
        corvina.state.PortBase = c.portBase;
        corvina.logic.RefreshPortMenu();
        EXPECT_EQ(corvina.view.Checked(Ctl::mnuPortLpt1), c.lpt1) << std::hex << c.portBase;
        EXPECT_EQ(corvina.view.Checked(Ctl::mnuPortLpt2), c.lpt2) << std::hex << c.portBase;
        EXPECT_EQ(corvina.view.Checked(Ctl::mnuPortLpt3), c.lpt3) << std::hex << c.portBase;
    }
}

TEST(PortMenu, ChoosingAPortChecksOnlyItAndSetsPortBase) {
    Quillon q;
    q.logic.mnuPortLpt3Click();
    EXPECT_EQ(q.state.PortBase, 0x3BC);
    EXPECT_FALSE(q.view.Checked(Ctl::mnuPortLpt1));
    EXPECT_FALSE(q.view.Checked(Ctl::mnuPortLpt2));
    EXPECT_TRUE(q.view.Checked(Ctl::mnuPortLpt3));
    q.logic.mnuPortLpt2Click();
    EXPECT_EQ(q.state.PortBase, 0x278);
    EXPECT_TRUE(q.view.Checked(Ctl::mnuPortLpt2));
    EXPECT_FALSE(q.view.Checked(Ctl::mnuPortLpt3));
}

TEST(PortMenu, ChoosingTheCheckedPortChangesNothing) {
    Corvina c;
    c.state.PortBase = 0x1234;  // would be overwritten if the handler went on
    c.logic.mnuPortLpt1Click();
    EXPECT_EQ(c.state.PortBase, 0x1234);
    EXPECT_TRUE(c.view.Checked(Ctl::mnuPortLpt1));
}

TEST(Windows, AboutAndDeviceInfoOpenModally) {
    Quillon q;
    q.logic.sbtAboutClick();
    q.logic.mnuDeviceInfoClick();
    EXPECT_EQ(q.view.shown, (std::vector<Window>{Window::About, Window::DeviceInfo}));
}

}  // namespace
}  // namespace test
