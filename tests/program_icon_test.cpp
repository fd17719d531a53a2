// Each program's window icon: every size there, drawn for that size, and the two programs' apart.
#include <gtest/gtest.h>

#include <QImage>

#include "shell/qt/ProgramIcon.h"

namespace test {
namespace {

using shell::Program;
using shell::qt::ProgramIcon;

TEST(ProgramIcon, EverySizeIsInTheResourcesAndTheTwoProgramsDiffer) {
    const QIcon corvina = ProgramIcon(Program::Corvina);
    const QIcon quillon = ProgramIcon(Program::Quillon);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        for (const QIcon* icon : {&corvina, &quillon}) {
            EXPECT_TRUE(icon->availableSizes().contains(QSize(size, size))) << size;
            const QImage image = icon->pixmap(QSize(size, size)).toImage();
            ASSERT_EQ(image.size(), QSize(size, size));
            EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;  // the chip, not a blank picture
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;                  // the rounded corner
        }
        // The backgrounds, blue and purple, beside the chip's pins near the bottom.
        const QPoint background(size / 2, size * 15 / 16);
        EXPECT_NE(corvina.pixmap(QSize(size, size)).toImage().pixel(background),
                  quillon.pixmap(QSize(size, size)).toImage().pixel(background)) << size;
    }
}

}  // namespace
}  // namespace test
