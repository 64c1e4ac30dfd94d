#include "AnnotationRenderer.h"

#include "AnnotateTestImages.h"

#include <gtest/gtest.h>

#include <numbers>

using AnnotateTestImages::at;
using AnnotateTestImages::isColour;
using AnnotateTestImages::item;
using AnnotateTestImages::textItem;
using Kind = Annotation::Kind;

namespace {

AnnotationDoc onWhite(int width, int height, QList<Annotation> items = {}) {
    return AnnotationDoc{AnnotateTestImages::filled(width, height, Qt::white), std::nullopt,
                         std::move(items)};
}

AnnotationDoc onNoise(int width, int height, QList<Annotation> items = {}) {
    return AnnotationDoc{AnnotateTestImages::noise(width, height), std::nullopt, std::move(items)};
}

Annotation blur(const QRectF& rect, Annotation::BlurShape shape = Annotation::BlurShape::rect) {
    Annotation a = item(Kind::blur, rect);
    a.blurShape = shape;
    return a;
}

// Rows of ink: the lowest and highest y-up rows holding a dark pixel.
std::pair<int, int> inkRows(const QImage& image) {
    int low = image.height();
    int high = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y).lightness() < 128) {
                low = std::min(low, y);
                high = std::max(high, y);
            }
    return {low, high};
}

} // namespace

TEST(AnnotationRenderer, WithoutItemsTheVisiblePartIsTheSourceUnchanged) {
    const AnnotationDoc doc = onNoise(120, 90);
    EXPECT_EQ(AnnotationRenderer::render(doc), doc.source);
    // A larger maximum does not enlarge.
    EXPECT_EQ(AnnotationRenderer::render(doc, 5000), doc.source);
}

TEST(AnnotationRenderer, ScalesDownToTheMaximumDimensionWithItsItems) {
    const AnnotationDoc doc = onWhite(4000, 1000, {item(Kind::rect, {1000, 200, 2000, 600}, 20)});
    const QImage image = AnnotationRenderer::render(doc, 2000);
    EXPECT_EQ(image.size(), QSize(2000, 500));
    // The left edge of the box, at x = 1000, is now at x = 500.
    EXPECT_TRUE(isColour(image, 500, 250, Qt::black));
    EXPECT_TRUE(isColour(image, 520, 250, Qt::white));
}

TEST(AnnotationRenderer, ReducedRendersFollowEachNewCrop) {
    QImage source = AnnotateTestImages::filled(2000, 1000, Qt::red);
    for (int y = 0; y < 1000; ++y)
        for (int x = 1000; x < 2000; ++x)
            source.setPixelColor(x, y, Qt::blue);
    AnnotationDoc doc{source, QRectF(0, 0, 1000, 1000), {}};
    EXPECT_TRUE(isColour(AnnotationRenderer::render(doc, 100), 90, 50, Qt::red, 0));
    doc.crop = QRectF(1000, 0, 1000, 1000);
    const QImage right = AnnotationRenderer::render(doc, 100);
    EXPECT_EQ(right.size(), QSize(100, 100));
    EXPECT_TRUE(isColour(right, 10, 50, Qt::blue, 0));
}

TEST(AnnotationRenderer, ACropOfWidthZeroRendersOnePointWide) {
    AnnotationDoc doc = onWhite(100, 100);
    doc.crop = QRectF(10, 10, 0, 50);
    EXPECT_EQ(AnnotationRenderer::render(doc).size(), QSize(1, 50));
}

TEST(AnnotationRenderer, ACropShowsItsPartWithItemsAtTheirAbsolutePlaces) {
    QImage source = AnnotateTestImages::filled(200, 200, Qt::white);
    // The top half of the image (y up: 100 and above) is blue.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            source.setPixelColor(x, y, Qt::blue);
    const AnnotationDoc doc{
        source, QRectF(50, 50, 100, 100), {item(Kind::rect, {60, 60, 20, 20}, 2, Qt::red)}};
    const QImage image = AnnotationRenderer::render(doc);
    ASSERT_EQ(image.size(), QSize(100, 100));
    EXPECT_TRUE(isColour(image, 50, 75, Qt::blue));
    EXPECT_TRUE(isColour(image, 50, 25, Qt::white));
    EXPECT_TRUE(isColour(image, 10, 15, Qt::red));
    EXPECT_TRUE(isColour(image, 15, 15, Qt::white));
}

TEST(AnnotationRenderer, AShortArrowIsAHeadWithItsTipOnTheEndPoint) {
    // Length 10, width 2: the head (14 long) is longer than the arrow.
    const QImage image =
        AnnotationRenderer::render(onWhite(100, 100, {item(Kind::arrow, {40, 50, 10, 0}, 2)}));
    EXPECT_TRUE(isColour(image, 48.5, 50, Qt::black));
    EXPECT_TRUE(isColour(image, 51, 50, Qt::white));
    // The head's base lies 14 x cos 30° = 12.1 behind the tip, 7 to each side.
    EXPECT_TRUE(isColour(image, 39, 54, Qt::black));
    EXPECT_TRUE(isColour(image, 36.5, 50, Qt::white));
}

TEST(AnnotationRenderer, AnArrowShaftStopsShortOfTheTipUnderTheHead) {
    // Width 4: head 18 long; the shaft ends 15.3 before the tip at x = 90.
    const QImage image =
        AnnotationRenderer::render(onWhite(100, 100, {item(Kind::arrow, {10, 50, 80, 0}, 4)}));
    EXPECT_TRUE(isColour(image, 20, 50, Qt::black));
    EXPECT_TRUE(isColour(image, 20, 53.5, Qt::white));
    EXPECT_TRUE(isColour(image, 73, 50, Qt::black));
    EXPECT_TRUE(isColour(image, 73, 56, Qt::white));
    EXPECT_TRUE(isColour(image, 76, 55, Qt::black));
    EXPECT_TRUE(isColour(image, 86, 50, Qt::black));
    // The tip's last pixel is touched, the next one is not.
    EXPECT_LT(at(image, 89, 50).lightness(), 250);
    EXPECT_TRUE(isColour(image, 90, 50, Qt::white, 0));
}

TEST(AnnotationRenderer, TextWithoutASizeFallsBackToSixTimesTheWidthAtLeastFourteen) {
    const auto render = [](const Annotation& a) {
        return AnnotationRenderer::render(onWhite(200, 80, {a}));
    };
    EXPECT_EQ(render(textItem("Hg", {10, 20, 0, 0.5}, 3)),
              render(textItem("Hg", {10, 20, 0, 18}, 3)));
    EXPECT_EQ(render(textItem("Hg", {10, 20, 0, 0.5}, 1)),
              render(textItem("Hg", {10, 20, 0, 14}, 1)));
    EXPECT_NE(render(textItem("Hg", {10, 20, 0, 18}, 1)),
              render(textItem("Hg", {10, 20, 0, 14}, 1)));
}

TEST(AnnotationRenderer, TextStandsUprightOnItsOrigin) {
    const QImage image =
        AnnotationRenderer::render(onWhite(200, 120, {textItem("L", {20, 30, 0, 60})}));
    const auto [low, high] = inkRows(image);
    ASSERT_GE(high, low);
    // The glyph sits above the origin, within the font size.
    EXPECT_GT(low, 30);
    EXPECT_LT(high, 30 + 60);
    // An upright L has its bar at the bottom: the lowest ink row is wider than the highest.
    const auto inkWidth = [&image](int y) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += at(image, x, y).lightness() < 128;
        return n;
    };
    EXPECT_GT(inkWidth(low + 1), 2 * inkWidth(high - 1));
}

TEST(AnnotationRenderer, MeasuredTextGrowsWithTheSizeAndIsAtLeastTwenty) {
    const double small = AnnotationRenderer::measureTextWidth("Hello world", 10);
    const double large = AnnotationRenderer::measureTextWidth("Hello world", 30);
    EXPECT_NEAR(large, small * 3, 0.01);
    EXPECT_EQ(AnnotationRenderer::measureTextWidth("", 40), 20);
    EXPECT_EQ(AnnotationRenderer::measureTextWidth("i", 0),
              AnnotationRenderer::measureTextWidth("i", 1));
}

TEST(AnnotationRenderer, ABlurNarrowerThanTwoIsNotDrawn) {
    const AnnotationDoc doc = onNoise(100, 100, {blur({10, 10, 1.5, 50})});
    EXPECT_EQ(AnnotationRenderer::render(doc), doc.source);
}

TEST(AnnotationRenderer, ABlurPixellatesItsAreaFromTheSource) {
    const AnnotationDoc doc = onNoise(200, 200, {blur({40, 40, 80, 80})});
    const QImage image = AnnotationRenderer::render(doc);
    // Cells of 8 around the centre (80, 80): the pixels of one cell share a colour.
    EXPECT_EQ(at(image, 80, 80), at(image, 87, 87));
    EXPECT_NE(at(image, 80, 80), at(image, 79, 80));
    EXPECT_EQ(at(image, 30, 30), at(doc.source.convertToFormat(image.format()), 30, 30));
}

TEST(AnnotationRenderer, AnEllipseBlurLeavesTheCornersAlone) {
    const AnnotationDoc doc =
        onNoise(100, 100, {blur({0, 0, 100, 100}, Annotation::BlurShape::ellipse)});
    const QImage image = AnnotationRenderer::render(doc);
    EXPECT_EQ(at(image, 2, 2), at(doc.source, 2, 2));
    EXPECT_EQ(at(image, 97, 97), at(doc.source, 97, 97));
    EXPECT_NE(at(image, 50, 50), at(doc.source, 50, 50));
}

TEST(AnnotationRenderer, ARotatedBlurDrawsTheUnrotatedAreaTurned) {
    Annotation diamond = blur({60, 60, 80, 80});
    diamond.rotation = std::numbers::pi / 4;
    const AnnotationDoc doc = onNoise(200, 200, {diamond});
    const QImage image = AnnotationRenderer::render(doc);
    // A corner of the unrotated square lies outside the diamond…
    EXPECT_EQ(at(image, 63, 63), at(doc.source, 63, 63));
    // …and a point beyond its side lies inside: the diamond reaches 56.6 from the centre.
    const QColor beyondSide = at(image, 100 + 50, 100);
    EXPECT_NE(beyondSide, at(doc.source, 150, 100));
    EXPECT_EQ(beyondSide, at(image, 100 + 51, 100));
}

TEST(AnnotationRenderer, ABlurCoversEarlierItemsAndLaterItemsCoverIt) {
    const Annotation bar = item(Kind::line, {0, 50, 100, 0}, 10, Qt::red);
    const AnnotationDoc under = onWhite(100, 100, {bar, blur({20, 20, 60, 60})});
    EXPECT_TRUE(isColour(AnnotationRenderer::render(under), 50, 50, Qt::white));
    EXPECT_TRUE(isColour(AnnotationRenderer::render(under), 10, 50, Qt::red));
    const AnnotationDoc over = onWhite(100, 100, {blur({20, 20, 60, 60}), bar});
    EXPECT_TRUE(isColour(AnnotationRenderer::render(over), 50, 50, Qt::red));
}

TEST(AnnotationRenderer, RotatesBoxesCounterClockwiseAboutTheirCentre) {
    // A flat bar through (50, 50), turned a quarter: it now stands upright.
    Annotation bar = item(Kind::rect, {20, 45, 60, 10}, 10);
    bar.rotation = std::numbers::pi / 2;
    const QImage image = AnnotationRenderer::render(onWhite(100, 100, {bar}));
    EXPECT_TRUE(isColour(image, 50, 78, Qt::black));
    EXPECT_TRUE(isColour(image, 78, 50, Qt::white));
    // Segment kinds never rotate.
    Annotation line = item(Kind::line, {20, 50, 60, 0}, 4);
    line.rotation = std::numbers::pi / 2;
    EXPECT_TRUE(isColour(AnnotationRenderer::render(onWhite(100, 100, {line})), 75, 50, Qt::black));
}
