#include "FrozenDesktop.h"

#include "QxcaptureArguments.h"
#include "TestImages.h"

#include <QColor>

#include <gtest/gtest.h>

namespace {

// A screen whose every pixel's colour tells its root-window position, so a crop
// shows where each of its pixels came from.
FrozenScreen screen(QRect native, qreal ratio) {
    QImage image = TestImages::positions(native.size(), native.topLeft());
    // Tagged with the screen's scale, as Qt's screen grabs are.
    image.setDevicePixelRatio(ratio);
    return {native, ratio, image};
}

QImage rootPixels(const QRect& native) {
    return TestImages::positions(native.size(), native.topLeft());
}

// A laptop panel shown at twice the scale beside an ordinary monitor, offset
// downward, the way RandR lays out mixed screens.
const FrozenDesktop mixed({screen({0, 0, 640, 400}, 2), screen({640, 100, 300, 200}, 1)},
                          {{600, 150, 100, 60}, {20, 20, 200, 100}, {0, 0, 940, 300}});

TEST(FrozenDesktop, DragOnAScaledScreenSelectsTheDevicePixelsUnderIt) {
    // Logical (10, 20) to (60, 45) on the doubled screen: pixels 20..120 x 40..90.
    const QRect selection = mixed.selection(0, {10, 20}, {60, 45});
    EXPECT_EQ(selection, QRect(QPoint(20, 40), QPoint(120, 90)));
    EXPECT_EQ(mixed.crop(selection), rootPixels(selection));
    // Half units reach every device pixel.
    EXPECT_EQ(mixed.selection(0, {10.5, 20.5}, {11, 21}), QRect(21, 41, 2, 2));
}

TEST(FrozenDesktop, DragEitherWayTakesBothEndsAndStopsAtTheEdgesOfItsScreen) {
    EXPECT_EQ(mixed.selection(1, {80, 90}, {30, 40}), mixed.selection(1, {30, 40}, {80, 90}));
    EXPECT_EQ(mixed.selection(1, {30, 40}, {80, 90}), QRect(670, 140, 51, 51));
    // The pointer went on into the neighbouring screen and beyond the bottom.
    EXPECT_EQ(mixed.selection(0, {300, 150}, {500, 260}), QRect(600, 300, 40, 100));
    EXPECT_EQ(mixed.selection(1, {10, 10}, {-50, -50}), QRect(640, 100, 11, 11));
}

TEST(FrozenDesktop, WindowUnderThePointerIsTheTopmostThatContainsIt) {
    EXPECT_EQ(mixed.windowAt({610, 160}), QRect(600, 150, 100, 60));
    EXPECT_EQ(mixed.windowAt({30, 30}), QRect(20, 20, 200, 100));
    EXPECT_EQ(mixed.windowAt({500, 290}), QRect(0, 0, 940, 300));
    EXPECT_FALSE(mixed.windowAt({900, 350}));
}

TEST(FrozenDesktop, WindowAcrossTwoScreensIsPiecedTogetherAndPartsOutsideStayTransparent) {
    const QRect window(600, 150, 100, 60);
    EXPECT_EQ(mixed.crop(window).convertToFormat(QImage::Format_RGB32), rootPixels(window));
    const QImage crop = mixed.crop({620, 20, 40, 40});
    EXPECT_EQ(crop.pixelColor(0, 0), TestImages::positionColour(620, 20));
    EXPECT_EQ(crop.pixelColor(39, 39).alpha(), 0) << "no screen shows (659, 59)";
}

TEST(FrozenDesktop, ScreenPointsMapToDevicePixelsAndBack) {
    const FrozenScreen& doubled = mixed.screens()[0];
    EXPECT_EQ(doubled.toNative({100.25, 50}), QPoint(201, 100));
    EXPECT_EQ(doubled.toLocal({20, 40, 100, 50}), QRectF(10, 20, 50, 25));
    const FrozenScreen& plain = mixed.screens()[1];
    EXPECT_EQ(plain.toLocal({700, 150, 10, 10}), QRectF(60, 50, 10, 10));
}

// The two good forms, -i PATH and -iw PATH, are run end to end.
TEST(QxcaptureArguments, RejectsEverythingButAModeAndOnePath) {
    EXPECT_FALSE(QxcaptureArguments::parse({}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i", ""}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-x", "out.png"}));
    EXPECT_FALSE(QxcaptureArguments::parse({"-i", "a.png", "b.png"}));
}

} // namespace
