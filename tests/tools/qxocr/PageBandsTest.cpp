#include "PageBands.h"

#include "PixPtr.h"

#include <gtest/gtest.h>

namespace {

// A binary page with a one-pixel-high ink row every `pitch` rows.
PixPtr ruled(int height, int pitch) {
    PixPtr page(pixCreate(100, height, 1));
    for (int y = 0; y < height; y += pitch)
        pixRasterop(page.get(), 0, y, 100, 1, PIX_SET, nullptr, 0, 0);
    return page;
}

} // namespace

TEST(PageBandsTest, CutsBetweenTheLinesIntoAboutEqualBands) {
    const PixPtr page = ruled(1000, 10);
    const QList<int> edges = PageBands::cuts(page.get(), 4);
    ASSERT_EQ(edges.size(), 5);
    EXPECT_EQ(edges.front(), 0);
    EXPECT_EQ(edges.back(), 1000);
    for (qsizetype i = 1; i + 1 < edges.size(); ++i) {
        EXPECT_NE(edges[i] % 10, 0) << "a cut through an ink row at " << edges[i];
        EXPECT_NEAR(edges[i], 250 * i, 65);
    }
}

TEST(PageBandsTest, OneBandIsTheWholePage) {
    const PixPtr page = ruled(300, 10);
    EXPECT_EQ(PageBands::cuts(page.get(), 1), (QList<int>{0, 300}));
}
