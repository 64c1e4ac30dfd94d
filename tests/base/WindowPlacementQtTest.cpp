// The placement rule bound to Qt's screens, whose y grows downward from the top
// of the primary screen. Two screens: a 1440 x 900 laptop and, to its right, a
// taller 1920 x 1200 monitor, both with their top edges at y = 0.
#include "WindowPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QPoint placedAt(QSize size) {
    QWidget window;
    window.resize(size);
    WindowPlacement::placeOnActiveScreen(window);
    return window.pos();
}

// A tall window gives up its margin at the screen's bottom.
TEST(WindowPlacementQt, WindowOpensCentredWithItsTop48BelowTheTopOfThePointersScreen) {
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    QCursor::setPos(100, 100);
    EXPECT_EQ(placedAt({800, 600}), QPoint(320, 48));
    EXPECT_EQ(placedAt({800, 880}), QPoint(320, 20));
    EXPECT_EQ(placedAt({800, 1000}), QPoint(320, -100)) << "bottom edge on the screen's bottom";
    // The monitor reaches 300 below the laptop's bottom edge.
    QCursor::setPos(2000, 1100);
    EXPECT_EQ(placedAt({800, 600}), QPoint(1440 + 560, 48));
    EXPECT_EQ(placedAt({1000, 1180}), QPoint(1440 + 460, 20));
}

} // namespace
