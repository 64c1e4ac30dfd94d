#include "Pixellation.h"

#include "TestImages.h"

#include <gtest/gtest.h>

TEST(Pixellation, CellsAreASixteenthOfTheShorterSideWithinEightAndTwenty) {
    EXPECT_EQ(Pixellation::cellSize(QRect(0, 0, 200, 80)), 8);
    EXPECT_EQ(Pixellation::cellSize(QRect(0, 0, 640, 480)), 20);
    EXPECT_EQ(Pixellation::cellSize(QRect(0, 0, 240, 240)), 15);
    // The pixel area is the smallest whole-pixel rectangle.
    EXPECT_EQ(Pixellation::pixelArea({10.5, 20.2, 30, 40.1}, 1, 1), QRect(10, 20, 31, 41));
    EXPECT_EQ(Pixellation::pixelArea({10, 20, 30, 40}, 2, 2), QRect(20, 40, 60, 80));
    EXPECT_EQ(Pixellation::pixelArea({40, 60, -30, -40}, 1, 1), QRect(10, 20, 30, 40));
}

TEST(Pixellation, TheGridIsAlignedOnTheAreasCentre) {
    const QImage source = TestImages::noise(200, 80);
    // Cells of 8 around x = 100: edges at 4, 12, …, 196, so partial cells at both ends.
    const QImage cells = Pixellation::pixellate(source, QRect(0, 0, 200, 80));
    ASSERT_EQ(cells.size(), QSize(200, 80));
    EXPECT_EQ(cells.pixel(0, 40), cells.pixel(3, 40));
    EXPECT_NE(cells.pixel(3, 40), cells.pixel(4, 40));
    EXPECT_EQ(cells.pixel(4, 40), cells.pixel(11, 40));
    EXPECT_NE(cells.pixel(11, 40), cells.pixel(12, 40));
    EXPECT_EQ(cells.pixel(196, 40), cells.pixel(199, 40));
    EXPECT_NE(cells.pixel(195, 40), cells.pixel(196, 40));
    // Rows: around y = 40 the edges are at 0, 8, …
    EXPECT_EQ(cells.pixel(20, 0), cells.pixel(20, 7));
    EXPECT_NE(cells.pixel(20, 7), cells.pixel(20, 8));
}

TEST(Pixellation, EachCellIsTheMeanOfTheSourceUnderIt) {
    QImage checker(16, 16, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage cells = Pixellation::pixellate(checker, QRect(0, 0, 16, 16));
    const QColor grey = cells.pixelColor(5, 5);
    EXPECT_NEAR(grey.red(), 128, 1);
    EXPECT_EQ(cells.pixel(0, 0), cells.pixel(15, 15));
}

TEST(Pixellation, AreaBeyondTheSourceStaysTransparent) {
    const QImage source = TestImages::filled(50, 50, Qt::blue);
    // y up: this area reaches 20 pixels above the top row and 10 left of the first column.
    const QImage cells = Pixellation::pixellate(source, QRect(-10, 30, 40, 40));
    EXPECT_EQ(qAlpha(cells.pixel(0, 0)), 0);
    EXPECT_EQ(cells.pixelColor(35, 35), QColor(Qt::blue));
}
