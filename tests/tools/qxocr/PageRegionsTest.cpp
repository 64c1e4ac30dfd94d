#include "PageRegions.h"

#include "CutLines.h"
#include "PixPtr.h"

#include <gtest/gtest.h>

namespace {

void fill(Pix* pix, QRect area, int op) {
    pixRasterop(pix, area.x(), area.y(), area.width(), area.height(), op, nullptr, 0, 0);
}

// A desktop of one grey with white windows, each holding a dark block of "text".
PixPtr desktop(int width, int height, const QList<QRect>& windows) {
    PixPtr grey(pixCreate(width, height, 8));
    pixSetAllArbitrary(grey.get(), 90);
    for (const QRect& window : windows) {
        fill(grey.get(), window, PIX_SET);
        fill(grey.get(), window.adjusted(20, 20, -window.width() / 2, -window.height() / 2),
             PIX_CLR);
    }
    return grey;
}

// Small dark squares all over.
PixPtr busy() {
    PixPtr grey = desktop(2400, 1000, {});
    for (int y = 0; y < 1000; y += 60) {
        for (int x = 0; x < 2400; x += 60)
            fill(grey.get(), {x, y, 30, 30}, PIX_CLR);
    }
    return grey;
}

} // namespace

TEST(PageRegionsTest, LargeDesktopIsReadWindowByWindowAndOtherPicturesWhole) {
    // Windows inside the picture, and in its corners: content at an edge is
    // kept whole, as the foot of a tall scrolled capture.
    for (const QList<QRect>& windows : {QList<QRect>{{100, 80, 500, 300}, {1400, 600, 400, 300}},
                                        QList<QRect>{{0, 0, 400, 250}, {1900, 700, 500, 300}}}) {
        const PixPtr twoWindows = desktop(2400, 1000, windows);
        const QList<QRect> regions = PageRegions::find(twoWindows.get());
        ASSERT_EQ(regions.size(), 2);
        for (qsizetype i = 0; i < regions.size(); ++i) {
            EXPECT_TRUE(regions[i].contains(windows[i])) << i;
            EXPECT_LT(regions[i].width(), windows[i].width() + 40) << i;
        }
    }

    const struct {
        const char* name;
        PixPtr grey;
    } whole[] = {
        {"small", desktop(1000, 700, {})},
        {"busy", busy()},
        {"plain", desktop(2400, 1000, {})},
    };
    for (const auto& [name, grey] : whole) {
        SCOPED_TRACE(name);
        EXPECT_EQ(PageRegions::find(grey.get()),
                  QList<QRect>{QRect(0, 0, pixGetWidth(grey.get()), pixGetHeight(grey.get()))});
    }
}

TEST(PageRegionsTest, PiecesOfOneRowWithASmallMarkBetweenThemAreRejoined) {
    const QList<QRect> near{{10, 10, 60, 20}, {90, 10, 60, 20}};
    const QList<QRect> farApart{{10, 10, 60, 20}, {200, 10, 60, 20}};
    const struct {
        const char* name;
        QList<QRect> pieces, ink;
        QList<QList<qsizetype>> groups;
    } cases[] = {
        {"colon", near, {{78, 16, 3, 3}, {78, 24, 3, 3}}, {{0, 1}}},
        {"button frame", near, {{78, 6, 2, 28}}, {}},
        {"nothing", near, {}, {}},
        {"far apart", farApart, {{100, 16, 3, 3}}, {}},
    };
    for (const auto& [name, pieces, ink, groups] : cases) {
        SCOPED_TRACE(name);
        PixPtr binary(pixCreate(300, 40, 1));
        for (const QRect& mark : ink + pieces)
            fill(binary.get(), mark, PIX_SET);
        EXPECT_EQ(CutLines::find(pieces, binary.get()), groups);
    }
}
