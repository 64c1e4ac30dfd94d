// Where qxcapture takes the desktop's pixels from, and how one picture of the
// whole desktop is cut into screens.
#include "ScreenSource.h"

#include "DesktopFreezer.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenSource, TheBestTheSessionOffersAndThePortalsDialogOnlyWhereNoOverlayOfOursShows) {
    const DesktopSession x11{false, true, false, false, ":0"};
    const DesktopSession sway{true, true, true, false, "wayland-1"};
    const DesktopSession plasma{true, true, false, true, "wayland-0"};
    const DesktopSession gnome{true, false, false, false, "wayland-0"};
    struct Case {
        const char* name;
        DesktopSession session;
        ScreenSourceOffers offers;
        bool interactive;
        QString named;
        ScreenSource expected;
    };
    const Case cases[] = {
        {"X11", x11, {false, false, true}, true, {}, ScreenSource::x11},
        {"X11 without a platform of windows",
         x11,
         {false, false, false},
         true,
         {},
         ScreenSource::portalDialog},
        {"sway, under Qt's wayland or xcb alike",
         sway,
         {true, false, true},
         true,
         {},
         ScreenSource::screencopy},
        {"sway, every screen without Qt's windows",
         sway,
         {true, false, false},
         false,
         {},
         ScreenSource::screencopy},
        {"Plasma", plasma, {false, true, true}, true, {}, ScreenSource::kwin},
        {"GNOME", gnome, {false, false, true}, true, {}, ScreenSource::portal},
        {"GNOME where nothing of ours can show",
         gnome,
         {false, false, false},
         true,
         {},
         ScreenSource::portalDialog},
        {"GNOME, every screen", gnome, {false, false, false}, false, {}, ScreenSource::portal},
        {"named by the person", sway, {true, false, true}, true, "portal", ScreenSource::portal},
        {"a name it does not know",
         sway,
         {true, false, true},
         true,
         "grim",
         ScreenSource::screencopy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(chooseScreenSource(c.session, c.offers, c.interactive, c.named), c.expected);
    }
}

TEST(ScreenSource, OnePictureOfTheDesktopIsCutAtItsScaleIntoEachScreensPlace) {
    // An output left of and above the first, as the portal's picture shows them at 2.
    const std::vector<ScreenPicture> layout{{"A", {0, 0, 100, 50}, {}},
                                            {"B", {-60, -20, 60, 40}, {}}};
    const QImage whole = TestImages::positions({320, 140});
    const std::optional<std::vector<ScreenPicture>> cut = splitDesktopPicture(whole, layout);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->at(0).image, TestImages::positions({200, 100}, {120, 40}));
    EXPECT_EQ(cut->at(1).image, TestImages::positions({120, 80}, {0, 0}));
    EXPECT_EQ(cut->at(1).geometry, QRect(-60, -20, 60, 40));
    EXPECT_FALSE(splitDesktopPicture(TestImages::positions({320, 200}), layout))
        << "a picture of another shape is not this desktop";
}

} // namespace
