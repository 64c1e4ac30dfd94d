#include "WindowPlacement.h"

#include <gtest/gtest.h>

using WindowPlacement::activeScreenVisibleFrame;
using WindowPlacement::placedOrigin;

TEST(WindowPlacement, CentredWithItsTopBelowTheTopAndItsBottomInside) {
    // Tall windows on Qt's screens: WindowPlacementQtTest.
    const std::tuple<ScreenRect, QSizeF, QPointF> cases[] = {
        {{0, 0, 1440, 875}, {1600, 600}, {0, 227}}, // wide: on the left edge
        {{100, 50, 1000, 800}, {1600, 600}, {100, 202}},
        {{1440, 0, 1920, 1050}, {800, 600}, {1440 + 560, 1050 - 600 - 48}},
    };
    for (const auto& [frame, size, origin] : cases)
        EXPECT_EQ(placedOrigin(frame, size, 48), origin) << size.width() << "x" << size.height();
}

TEST(WindowPlacement, ChoosesTheScreenUnderThePointerElseTheMainElseTheFirst) {
    const std::vector<WindowPlacement::Screen> screens{
        {{0, 0, 1000, 800}, {0, 0, 1000, 780}},
        {{1000, 0, 1000, 800}, {1000, 0, 1000, 770}},
    };
    EXPECT_EQ(activeScreenVisibleFrame(screens, {1500, 400}, 0), (ScreenRect{1000, 0, 1000, 770}));
    // A pointer on the shared edge belongs to exactly one screen.
    EXPECT_EQ(activeScreenVisibleFrame(screens, {1000, 400}, 0).x, 1000);
    EXPECT_EQ(activeScreenVisibleFrame(screens, {999.5, 400}, 1).x, 0);
    EXPECT_EQ(activeScreenVisibleFrame(screens, {-50, -50}, 1).height, 770);
    EXPECT_EQ(activeScreenVisibleFrame(screens, {-50, -50}, std::nullopt).height, 780);
    EXPECT_EQ(activeScreenVisibleFrame({}, {10, 10}, std::nullopt), (ScreenRect{0, 0, 1200, 800}));
}
