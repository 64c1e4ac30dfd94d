#include "WindowPlacement.h"

#include <gtest/gtest.h>

using WindowPlacement::placedOrigin;
using WindowPlacement::Screen;

namespace {
const ScreenRect laptop{0, 0, 1440, 875};
}

TEST(WindowPlacement, CentredWithTheTopMarginBelowTheTop) {
    EXPECT_EQ(placedOrigin(laptop, {800, 600}, 48), QPointF(320, 227));
}

TEST(WindowPlacement, TallWindowGivesUpMarginToKeepItsBottomInside) {
    // The margin shrinks to 875 - 850 = 25 points.
    EXPECT_EQ(placedOrigin(laptop, {800, 850}, 48), QPointF(320, 0));
}

TEST(WindowPlacement, WindowTallerThanTheFrameSitsOnItsBottom) {
    EXPECT_EQ(placedOrigin(laptop, {800, 1000}, 48), QPointF(320, 0));
}

TEST(WindowPlacement, WideWindowAlignsToTheLeftEdge) {
    EXPECT_EQ(placedOrigin(laptop, {1600, 600}, 48).x(), 0);
    EXPECT_EQ(placedOrigin(ScreenRect{100, 50, 1000, 800}, {1600, 600}, 48).x(), 100);
}

TEST(WindowPlacement, ChoosesTheScreenUnderThePointer) {
    const std::vector<Screen> screens{
        {{0, 0, 1440, 900}, {0, 0, 1440, 875}},
        {{1440, 0, 1920, 1080}, {1440, 0, 1920, 1050}},
    };
    const ScreenRect chosen = WindowPlacement::activeScreenVisibleFrame(screens, {2000, 500}, 0);
    EXPECT_EQ(chosen, (ScreenRect{1440, 0, 1920, 1050}));
    // Centred on the second screen, its top 48 points below that screen's visible top.
    EXPECT_EQ(placedOrigin(chosen, {800, 600}, 48), QPointF(1440 + 560, 1050 - 600 - 48));
}

TEST(WindowPlacement, PointerOnASharedEdgeBelongsToExactlyOneScreen) {
    const std::vector<Screen> screens{
        {{0, 0, 1000, 800}, {0, 0, 1000, 800}},
        {{1000, 0, 1000, 800}, {1000, 0, 1000, 770}},
    };
    EXPECT_EQ(WindowPlacement::activeScreenVisibleFrame(screens, {1000, 400}, 0).x, 1000);
    EXPECT_EQ(WindowPlacement::activeScreenVisibleFrame(screens, {999.5, 400}, 1).x, 0);
}

TEST(WindowPlacement, FallsBackToMainThenFirstThenADefaultFrame) {
    const std::vector<Screen> screens{
        {{0, 0, 1000, 800}, {0, 0, 1000, 780}},
        {{1000, 0, 1000, 800}, {1000, 0, 1000, 770}},
    };
    EXPECT_EQ(WindowPlacement::activeScreenVisibleFrame(screens, {-50, -50}, 1).height, 770);
    EXPECT_EQ(WindowPlacement::activeScreenVisibleFrame(screens, {-50, -50}, std::nullopt).height,
              780);
    const ScreenRect none = WindowPlacement::activeScreenVisibleFrame({}, {10, 10}, std::nullopt);
    EXPECT_EQ(none, (ScreenRect{0, 0, 1200, 800}));
    EXPECT_EQ(placedOrigin(none, {800, 600}, 48), QPointF(200, 152));
}
