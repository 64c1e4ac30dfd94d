#include "ScreenshotPreprocessor.h"

#include "ImageFile.h"
#include "TestImages.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

int greyAt(Pix* pix, int x, int y) {
    l_uint32 value = 0;
    pixGetPixel(pix, x, y, &value);
    return int(value);
}

// Darkest grey inside a rectangle: where the text is.
int darkestIn(Pix* pix, QRect area) {
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            darkest = std::min(darkest, greyAt(pix, x, y));
    return darkest;
}

// Without enlarging, unless asked for; then with the default limits or a pixel limit.
ScreenshotPreprocessor::Result prepare(const QImage& picture, bool enlarge = false,
                                       long long maxScaledPixels = 0) {
    ScreenshotPreprocessor::Options options;
    if (!enlarge)
        options.maxScale = 1;
    if (maxScaledPixels > 0)
        options.maxScaledPixels = maxScaledPixels;
    return ScreenshotPreprocessor::prepare(ImageFile::greyOverWhite(picture), options);
}

void drawText(QPainter& painter, int pixelSize, QRect where, const QString& text) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

TEST(ScreenshotPreprocessorTest, DarkModeIsTurnedIntoDarkTextOnLight) {
    const TestImages::TextStyle dark{20, QColor(0xe6, 0xe6, 0xe6), QColor(0x1e, 0x1e, 0x20)};
    const auto result = prepare(TestImages::text({"Settings"}, dark));
    EXPECT_TRUE(result.invertedWhole);
    EXPECT_GT(greyAt(result.pix.get(), 2, 2), 200);
    const auto light = prepare(TestImages::text({"Settings"}));
    EXPECT_FALSE(light.invertedWhole);
    EXPECT_EQ(light.invertedPanels, 0);
    EXPECT_EQ(greyAt(light.pix.get(), 2, 2), 255);
}

TEST(ScreenshotPreprocessorTest, LightTextOnAColouredBarBecomesDarkOnLight) {
    // A light window with a selected row: white text on a blue bar, alone or
    // crossed by the dark lines between a list's columns.
    for (const bool columnLines : {false, true}) {
        QImage picture(400, 120, QImage::Format_RGB32);
        picture.fill(QColor(0xef, 0xef, 0xef));
        QPainter painter(&picture);
        drawText(painter, 15, {10, 15, 300, 20}, "Unselected row");
        const QRect bar(0, 60, 400, 24);
        painter.fillRect(bar, QColor(0x30, 0x8c, 0xc6));
        painter.setPen(Qt::white);
        drawText(painter, 15, bar.adjusted(6, 0, 0, 0), "Selected row");
        if (columnLines) {
            painter.fillRect(QRect(150, 0, 1, 120), QColor(0x60, 0x60, 0x60));
            painter.fillRect(QRect(300, 0, 1, 120), QColor(0x60, 0x60, 0x60));
        }
        painter.end();
        const auto result = prepare(picture);
        EXPECT_FALSE(result.invertedWhole);
        EXPECT_EQ(result.invertedPanels, 1) << columnLines;
        EXPECT_GT(greyAt(result.pix.get(), 390, 72), 230) << "the bar turns white";
        EXPECT_LT(darkestIn(result.pix.get(), bar.adjusted(6, 4, -250, -4)), 80) << "its text dark";
        EXPECT_LT(darkestIn(result.pix.get(), QRect(10, 15, 100, 20)), 80)
            << "other text untouched";
    }
    // Bold black headings are no panels.
    const TestImages::TextStyle heading{72, Qt::black, Qt::white, true};
    EXPECT_EQ(prepare(TestImages::text({"HOME ■ IBM ー一"}, heading)).invertedPanels, 0);
}

TEST(ScreenshotPreprocessorTest, FramesAndGridLinesGoTextAndHeadingsStay) {
    QImage picture = TestImages::filled(400, 200, Qt::white);
    QPainter painter(&picture);
    painter.drawRect(10, 6, 120, 30); // a button or a table cell
    drawText(painter, 13, {14, 14, 110, 16}, "Boxed label");
    painter.drawLine(10, 50, 390, 50);
    QFont heading(QStringLiteral("DejaVu Sans"));
    heading.setPixelSize(72);
    heading.setBold(true);
    painter.setFont(heading);
    painter.drawText(150, 150, QStringLiteral("HIT"));
    painter.end();
    const auto result = prepare(picture);
    Pix* pix = result.pix.get();
    EXPECT_EQ(greyAt(pix, 10, 20), 255) << "frame side gone";
    EXPECT_EQ(greyAt(pix, 60, 6), 255) << "frame top gone";
    EXPECT_EQ(greyAt(pix, 200, 50), 255) << "separator gone";
    EXPECT_LT(darkestIn(pix, QRect(14, 14, 80, 14)), 80) << "label kept";
    EXPECT_LT(greyAt(pix, 160, 120), 80) << "heading stem kept";
}

TEST(ScreenshotPreprocessorTest, SmallTextIsEnlargedWithinThePixelLimit) {
    const QImage small = TestImages::text({"a small label in a toolbar"}, {11});
    const auto enlarged = prepare(small, true);
    EXPECT_GT(enlarged.scale, 1.5);
    EXPECT_EQ(pixGetWidth(enlarged.pix.get()), qRound(small.width() * enlarged.scale));
    EXPECT_EQ(prepare(TestImages::text({"a large heading"}, {48}), true).scale, 1);

    const qint64 limit = 2 * qint64(small.width()) * small.height();
    const auto limited = prepare(small, true, limit);
    const int width = pixGetWidth(limited.pix.get());
    const int height = pixGetHeight(limited.pix.get());
    EXPECT_GT(limited.scale, 1);
    EXPECT_LE(qint64(width) * height, limit + width + height);

    const auto blank = prepare(TestImages::filled(200, 100, Qt::white), true);
    EXPECT_EQ(blank.glyphHeight, 0);
    EXPECT_EQ(blank.scale, 1);
    EXPECT_EQ(greyAt(blank.pix.get(), 100, 50), 255);
}

TEST(ScreenshotPreprocessorTest, TextSelectedInAFieldTurnsDarkToTheBandsVeryEdge) {
    // The selection is exactly as tall as its letters, which touch its top
    // and bottom.
    QImage picture(300, 60, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    painter.setFont(font);
    const QRect tight = QFontMetrics(font).tightBoundingRect("harbour lights");
    const QPoint origin(20, 30);
    const QRect band = tight.translated(origin).adjusted(-2, 0, 2, 0);
    painter.fillRect(band, QColor(0x35, 0x84, 0xe4));
    painter.setPen(Qt::white);
    painter.drawText(origin, "harbour lights");
    painter.end();
    const auto result = prepare(picture);
    EXPECT_EQ(result.invertedPanels, 1);
    EXPECT_LT(darkestIn(result.pix.get(), QRect(band.left(), band.top(), band.width(), 2)), 80)
        << "the ascenders, on the band's top edge, turn dark";
    EXPECT_LT(darkestIn(result.pix.get(), QRect(band.left(), band.bottom() - 1, band.width(), 2)),
              80)
        << "the descender, on its bottom edge, too";
    EXPECT_GT(greyAt(result.pix.get(), 5, 5), 230) << "the ground outside stays light";
}
