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

ScreenshotPreprocessor::Result prepare(const QImage& picture,
                                       const ScreenshotPreprocessor::Options& options = {}) {
    return ScreenshotPreprocessor::prepare(ImageFile::greyOverWhite(picture), options);
}

ScreenshotPreprocessor::Options withoutScaling() {
    ScreenshotPreprocessor::Options options;
    options.maxScale = 1;
    return options;
}

// A light window with a selected row: white text on a blue bar.
QImage windowWithSelection(QRect bar) {
    QImage picture(400, 120, QImage::Format_RGB32);
    picture.fill(QColor(0xef, 0xef, 0xef));
    QPainter painter(&picture);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(10, 30, QStringLiteral("Unselected row"));
    painter.fillRect(bar, QColor(0x30, 0x8c, 0xc6));
    painter.setPen(Qt::white);
    painter.drawText(bar.adjusted(6, 0, 0, 0), Qt::AlignVCenter, QStringLiteral("Selected row"));
    return picture;
}

} // namespace

TEST(ScreenshotPreprocessorTest, DarkModeIsTurnedIntoDarkTextOnLight) {
    TestImages::TextStyle dark;
    dark.ink = QColor(0xe6, 0xe6, 0xe6);
    dark.paper = QColor(0x1e, 0x1e, 0x20);
    const auto result =
        prepare(TestImages::text({QStringLiteral("Settings")}, dark), withoutScaling());
    EXPECT_TRUE(result.invertedWhole);
    EXPECT_GT(greyAt(result.pix.get(), 2, 2), 200);
    const auto light = prepare(TestImages::text({QStringLiteral("Settings")}), withoutScaling());
    EXPECT_FALSE(light.invertedWhole);
    EXPECT_EQ(light.invertedPanels, 0);
    EXPECT_EQ(greyAt(light.pix.get(), 2, 2), 255);
}

TEST(ScreenshotPreprocessorTest, LightTextOnAColouredBarBecomesDarkOnLight) {
    const QRect bar(0, 60, 400, 24);
    const auto result = prepare(windowWithSelection(bar), withoutScaling());
    EXPECT_FALSE(result.invertedWhole);
    EXPECT_EQ(result.invertedPanels, 1);
    EXPECT_GT(greyAt(result.pix.get(), 390, 72), 230) << "the bar turns white";
    EXPECT_LT(darkestIn(result.pix.get(), bar.adjusted(6, 4, -250, -4)), 80) << "its text dark";
    EXPECT_LT(darkestIn(result.pix.get(), QRect(10, 15, 100, 20)), 80) << "other text untouched";
}

TEST(ScreenshotPreprocessorTest, BoldBlackHeadingsAreNoPanels) {
    TestImages::TextStyle heading;
    heading.pixelSize = 72;
    heading.bold = true;
    const auto result =
        prepare(TestImages::text({QStringLiteral("HOME ■ IBM ー一")}, heading), withoutScaling());
    EXPECT_EQ(result.invertedPanels, 0);
}

TEST(ScreenshotPreprocessorTest, LightWindowsOnADarkDesktopKeepTheirDarkText) {
    QImage desktop(800, 500, QImage::Format_RGB32);
    desktop.fill(QColor(0x20, 0x30, 0x40));
    QPainter painter(&desktop);
    const QRect window(300, 150, 300, 120);
    painter.fillRect(window, QColor(0xf0, 0xf0, 0xf0));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(window.adjusted(10, 10, -10, -10), QStringLiteral("Invoice total"));
    painter.setPen(Qt::white);
    painter.drawText(20, 30, QStringLiteral("Activities"));
    painter.end();
    const auto result = prepare(desktop, withoutScaling());
    Pix* pix = result.pix.get();
    EXPECT_GT(greyAt(pix, window.left() + 5, window.bottom() - 5), 200) << "window stays light";
    EXPECT_LT(darkestIn(pix, window.adjusted(10, 10, -150, -80)), 80) << "its text dark";
    EXPECT_GT(greyAt(pix, 5, 5), 150) << "desktop turns light";
    EXPECT_LT(darkestIn(pix, QRect(20, 15, 100, 20)), 80) << "panel text dark";
}

TEST(ScreenshotPreprocessorTest, FramesAndGridLinesGoTextAndHeadingsStay) {
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawRect(10, 6, 120, 30); // a button or a table cell
    painter.drawText(14, 26, QStringLiteral("Boxed label"));
    painter.drawLine(10, 50, 390, 50);
    font.setPixelSize(72);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(150, 150, QStringLiteral("HIT"));
    painter.end();
    const auto result = prepare(picture, withoutScaling());
    Pix* pix = result.pix.get();
    EXPECT_EQ(greyAt(pix, 10, 20), 255) << "frame side gone";
    EXPECT_EQ(greyAt(pix, 60, 6), 255) << "frame top gone";
    EXPECT_EQ(greyAt(pix, 200, 50), 255) << "separator gone";
    EXPECT_LT(darkestIn(pix, QRect(14, 14, 80, 14)), 80) << "label kept";
    EXPECT_LT(greyAt(pix, 160, 120), 80) << "heading stem kept";
}

TEST(ScreenshotPreprocessorTest, SmallTextIsEnlargedLargeTextIsNot) {
    TestImages::TextStyle small;
    small.pixelSize = 11;
    const QImage smallText =
        TestImages::text({QStringLiteral("a small label in a toolbar")}, small);
    const auto enlarged = prepare(smallText);
    EXPECT_GT(enlarged.scale, 1.5);
    EXPECT_EQ(pixGetWidth(enlarged.pix.get()), qRound(smallText.width() * enlarged.scale));
    TestImages::TextStyle large;
    large.pixelSize = 48;
    EXPECT_EQ(prepare(TestImages::text({QStringLiteral("a large heading")}, large)).scale, 1);
}

TEST(ScreenshotPreprocessorTest, EnlargingStaysWithinThePixelLimit) {
    TestImages::TextStyle small;
    small.pixelSize = 11;
    const QImage picture = TestImages::text({QStringLiteral("tiny text on a wide strip")}, small);
    ScreenshotPreprocessor::Options options;
    options.maxScaledPixels = 2 * qint64(picture.width()) * picture.height();
    const auto result = prepare(picture, options);
    EXPECT_GT(result.scale, 1);
    EXPECT_LE(qint64(pixGetWidth(result.pix.get())) * pixGetHeight(result.pix.get()),
              options.maxScaledPixels + pixGetWidth(result.pix.get()) +
                  pixGetHeight(result.pix.get()));
}

TEST(ScreenshotPreprocessorTest, BlankPictureStaysBlank) {
    QImage blank(200, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const auto result = prepare(blank);
    EXPECT_EQ(result.glyphHeight, 0);
    EXPECT_EQ(result.scale, 1);
    EXPECT_EQ(greyAt(result.pix.get(), 100, 50), 255);
}
