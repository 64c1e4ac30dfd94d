#include "FrozenDesktop.h"

#include "QxcaptureArguments.h"
#include "ScreenPlacement.h"
#include "TestImages.h"

#include <QColor>

#include <gtest/gtest.h>

namespace {

// A screen whose every pixel's colour tells its place on the grid of the
// screen's own scale, so a crop shows where each of its pixels came from.
FrozenScreen screen(QRect geometry, qreal scale) {
    const QPoint origin = (QPointF(geometry.topLeft()) * scale).toPoint();
    const QSize pixels = (QSizeF(geometry.size()) * scale).toSize();
    return {geometry, TestImages::positions(pixels, origin)};
}

QImage gridPixels(const CaptureArea& capture) {
    const QPoint origin = (capture.area.topLeft() * capture.scale).toPoint();
    return TestImages::positions(capture.pixelSize(), origin);
}

// A laptop panel at 200 % beside an ordinary monitor, lower down, as a
// Wayland compositor lays them out in logical units.
const FrozenDesktop mixed({screen({0, 0, 640, 400}, 2), screen({640, 100, 300, 200}, 1)},
                          {{600, 150, 100, 60}, {20, 20, 200, 100}, {900, 280, 100, 60}});

TEST(FrozenDesktop, ASelectionKeepsThePixelsOfItsScreenToTheLastOneUnderThePointer) {
    struct Case {
        const char* name;
        QPointF from, to;
        CaptureArea expected;
    };
    const Case cases[] = {
        {"half units reach each pixel of the doubled screen",
         {10.5, 20},
         {60, 45.25},
         {{10.5, 20, 50, 25.5}, 2}},
        {"the same dragged the other way", {60, 45.25}, {10.5, 20}, {{10.5, 20, 50, 25.5}, 2}},
        {"whole units on the plain screen", {670, 140}, {720, 190}, {{670, 140, 51, 51}, 1}},
        {"a hair short of a pixel still names it",
         {700 - 1e-9, 150},
         {700, 150},
         {{700, 150, 1, 1}, 1}},
        {"the pointer beyond the desktop stops at its last pixel",
         {900, 250},
         {2000, 900},
         {{900, 250, 40, 150}, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CaptureArea selected = mixed.selection(c.from, c.to);
        EXPECT_EQ(selected, c.expected);
        EXPECT_EQ(mixed.crop(selected).convertToFormat(QImage::Format_RGB32).size(),
                  selected.pixelSize());
    }
    const CaptureArea inside = mixed.selection({10.5, 20}, {60, 45.25});
    EXPECT_EQ(mixed.crop(inside), gridPixels(inside));
}

TEST(FrozenDesktop, ASelectionAcrossScreensIsTakenAtTheLargerScaleWithTheOtherEnlarged) {
    const CaptureArea across = mixed.selection({600, 50}, {700.5, 199.5});
    EXPECT_EQ(across, (CaptureArea{{600, 50, 101, 150}, 2}));
    const QImage picture = mixed.crop(across);
    ASSERT_EQ(picture.size(), QSize(202, 300));
    // The doubled screen's own pixels, left of x = 640.
    EXPECT_EQ(picture.copy(0, 0, 80, 300).convertToFormat(QImage::Format_RGB32),
              gridPixels({{600, 50, 40, 150}, 2}));
    // Each pixel of the plain screen covers two by two, smoothed as the
    // compositor's own tools enlarge: within a step of its neighbours' colours.
    for (QPoint unit : {QPoint(640, 100), QPoint(655, 170), QPoint(700, 199)}) {
        const QPoint at = (unit - QPoint(600, 50)) * 2;
        const QColor expected = TestImages::positionColour(unit.x(), unit.y());
        for (QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
            const QColor got = picture.pixelColor(at + corner);
            EXPECT_LE(
                std::abs(got.red() - expected.red()) + std::abs(got.green() - expected.green()), 1)
                << "at " << unit.x() << "," << unit.y();
        }
    }
    EXPECT_EQ(picture.pixelColor(100, 20).alpha(), 0) << "no screen shows (650, 60)";
}

TEST(FrozenDesktop, AWindowIsTheTopmostUnderThePointerWithinTheDesktopAtTheScaleItTouches) {
    EXPECT_EQ(mixed.windowAt({610, 160}), (CaptureArea{{600, 150, 100, 60}, 2}));
    EXPECT_EQ(mixed.windowAt({30, 30}), (CaptureArea{{20, 20, 200, 100}, 2}));
    EXPECT_EQ(mixed.windowAt({910, 290}), (CaptureArea{{900, 280, 40, 60}, 1}))
        << "its part beyond the desktop's right edge left out";
    EXPECT_FALSE(mixed.windowAt({300, 300}));
}

TEST(FrozenDesktop, TheWholeDesktopIsTakenAtItsLargestScale) {
    EXPECT_EQ(mixed.whole(), (CaptureArea{{0, 0, 940, 400}, 2}));
    const QImage picture = mixed.crop(mixed.whole());
    EXPECT_EQ(picture.size(), QSize(1880, 800));
    EXPECT_EQ(picture.copy(0, 0, 1280, 800),
              mixed.screens()[0].image.convertToFormat(QImage::Format_ARGB32));
}

TEST(FrozenDesktop, OneX11PixelSpaceAtAnyScaleOfQtAndAFractionalWaylandScale) {
    // Under X11 every screen is in root pixels; Qt shows the second at 1.5.
    const FrozenDesktop x11({screen({0, 0, 1280, 800}, 1), screen({1280, 0, 900, 600}, 1)}, {});
    const ScreenPlacement scaled{{1280, 0, 900, 600}, 1.5};
    EXPECT_EQ(scaled.toDesktop({134, 200.0 / 1.5}), QPointF(1481, 200));
    EXPECT_EQ(x11.selection(scaled.toDesktop({0, 0}), scaled.toDesktop({200.0 / 1.5, 1})),
              (CaptureArea{{1280, 0, 201, 2}, 1}));
    EXPECT_EQ(scaled.toLocal({1310, 30, 15, 15}), QRectF(20, 20, 10, 10));
    // Xwayland reports whole logical units, each of which covers two pixels of
    // a doubled output: a drag takes both under each of its ends.
    EXPECT_EQ(mixed.selection({100, 50}, {299, 149}, 1), (CaptureArea{{100, 50, 200, 100}, 2}));
    EXPECT_EQ(mixed.selection({299, 149}, {100, 50}, 1), (CaptureArea{{100, 50, 200, 100}, 2}));
    // A panel at 150 % has three pixels to two units.
    const FrozenDesktop fractional({screen({0, 0, 1280, 720}, 1.5)}, {});
    const CaptureArea selected = fractional.selection({10, 10}, {20, 20});
    EXPECT_EQ(selected.pixelSize(), QSize(16, 16));
    EXPECT_EQ(fractional.crop(selected), gridPixels(selected));
}

// The good forms are run end to end.
TEST(QxcaptureArguments, RejectsEverythingButAModeAndOnePath) {
    EXPECT_FALSE(QxcaptureArguments::parse({}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i", ""}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-x", "out.png"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i", "a.png", "b.png"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"--screens"}));
}

} // namespace
