#include "AnnotationRenderer.h"

#include "TestAnnotations.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace TestAnnotations;
using Kind = Annotation::Kind;

namespace {

Annotation blur(const QRectF& rect, Annotation::BlurShape shape = Annotation::BlurShape::rect,
                double rotation = 0) {
    Annotation a = item(Kind::blur, rect);
    a.blurShape = shape;
    a.rotation = rotation;
    return a;
}

Annotation turned(Annotation a, double rotation) {
    a.rotation = rotation;
    return a;
}

// Two halves of a 2000 x 1000 source: red on the left, blue on the right.
QImage redAndBlue() {
    QImage source = TestImages::filled(2000, 1000, Qt::red);
    for (int y = 0; y < 1000; ++y)
        for (int x = 1000; x < 2000; ++x)
            source.setPixelColor(x, y, Qt::blue);
    return source;
}

} // namespace

TEST(AnnotationRenderer, DrawsEachKindWhereItBelongs) {
    const Annotation redBar = item(Kind::line, {0, 50, 100, 0}, 10, Qt::red);
    const struct {
        const char* what;
        QList<Annotation> items;
        std::vector<std::tuple<double, double, QColor>> pixels;
    } cases[] = {
        // Length 10, width 2: the head (14 long) is longer than the arrow; its base
        // lies 14 x cos 30° = 12.1 behind the tip, 7 to each side.
        {"a short arrow is a head with its tip on the end point",
         {item(Kind::arrow, {40, 50, 10, 0}, 2)},
         {{48.5, 50, Qt::black}, {51, 50, Qt::white}, {39, 54, Qt::black}, {36.5, 50, Qt::white}}},
        // Width 4: head 18 long; the shaft ends 15.3 before the tip at x = 90.
        {"an arrow's shaft stops short of the tip under the head",
         {item(Kind::arrow, {10, 50, 80, 0}, 4)},
         {{20, 50, Qt::black},
          {20, 53.5, Qt::white},
          {73, 50, Qt::black},
          {73, 56, Qt::white},
          {76, 55, Qt::black},
          {86, 50, Qt::black}}},
        {"boxes turn counter-clockwise about their centre",
         {turned(item(Kind::rect, {20, 45, 60, 10}, 10), std::numbers::pi / 2)},
         {{50, 78, Qt::black}, {78, 50, Qt::white}}},
        {"segments never turn",
         {turned(item(Kind::line, {20, 50, 60, 0}, 4), std::numbers::pi / 2)},
         {{75, 50, Qt::black}}},
        {"a blur covers earlier items",
         {redBar, blur({20, 20, 60, 60})},
         {{50, 50, Qt::white}, {10, 50, Qt::red}}},
        {"later items cover a blur", {blur({20, 20, 60, 60}), redBar}, {{50, 50, Qt::red}}},
    };
    for (const auto& [what, items, pixels] : cases) {
        SCOPED_TRACE(what);
        const QImage image = AnnotationRenderer::render(onWhite(100, 100, items));
        for (const auto& [x, y, colour] : pixels)
            EXPECT_TRUE(isColour(image, x, y, colour)) << x << "," << y;
    }
    // The arrow's tip: its last pixel is touched, the next one is not.
    const QImage arrow =
        AnnotationRenderer::render(onWhite(100, 100, {item(Kind::arrow, {10, 50, 80, 0}, 4)}));
    EXPECT_LT(at(arrow, 89, 50).lightness(), 250);
    EXPECT_TRUE(isColour(arrow, 90, 50, Qt::white, 0));
}

TEST(AnnotationRenderer, WithoutItemsTheVisiblePartIsTheSourceUnchanged) {
    const AnnotationDoc doc = onNoise(120, 90);
    EXPECT_EQ(AnnotationRenderer::render(doc), doc.source);
    EXPECT_EQ(AnnotationRenderer::render(doc, 5000), doc.source) << "a larger maximum";
    // Nor does a blur narrower than two.
    const AnnotationDoc narrow = onNoise(100, 100, {blur({10, 10, 1.5, 50})});
    EXPECT_EQ(AnnotationRenderer::render(narrow), narrow.source);
}

TEST(AnnotationRenderer, ScalesDownToTheMaximumDimensionWithItsItems) {
    const AnnotationDoc doc = onWhite(4000, 1000, {item(Kind::rect, {1000, 200, 2000, 600}, 20)});
    const QImage image = AnnotationRenderer::render(doc, 2000);
    EXPECT_EQ(image.size(), QSize(2000, 500));
    // The left edge of the box, at x = 1000, is now at x = 500.
    EXPECT_TRUE(isColour(image, 500, 250, Qt::black));
    EXPECT_TRUE(isColour(image, 520, 250, Qt::white));
}

TEST(AnnotationRenderer, ACropShowsItsPartWithItemsAtTheirAbsolutePlaces) {
    AnnotationDoc doc{redAndBlue(),
                      QRectF(950, 50, 100, 100),
                      {item(Kind::rect, {960, 60, 20, 20}, 2, Qt::black)}};
    const QImage image = AnnotationRenderer::render(doc);
    ASSERT_EQ(image.size(), QSize(100, 100));
    EXPECT_TRUE(isColour(image, 25, 50, Qt::red));
    EXPECT_TRUE(isColour(image, 75, 50, Qt::blue));
    EXPECT_TRUE(isColour(image, 10, 15, Qt::black));
    EXPECT_TRUE(isColour(image, 15, 15, Qt::red));
    // Reduced renders follow each new crop.
    doc.crop = QRectF(0, 0, 1000, 1000);
    EXPECT_TRUE(isColour(AnnotationRenderer::render(doc, 100), 90, 50, Qt::red, 0));
    doc.crop = QRectF(1000, 0, 1000, 1000);
    const QImage right = AnnotationRenderer::render(doc, 100);
    EXPECT_EQ(right.size(), QSize(100, 100));
    EXPECT_TRUE(isColour(right, 10, 50, Qt::blue, 0));
    doc.crop = QRectF(10, 10, 0, 50);
    EXPECT_EQ(AnnotationRenderer::render(doc).size(), QSize(1, 50)) << "one point wide";
}

TEST(AnnotationRenderer, TextStandsUprightOnItsOrigin) {
    const QImage image =
        AnnotationRenderer::render(onWhite(200, 120, {textItem("L", {20, 30, 0, 60})}));
    // Rows of ink per y-up row.
    std::vector<int> ink(image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink[y] += at(image, x, y).lightness() < 128;
    const auto low = std::find_if(ink.begin(), ink.end(), [](int n) { return n > 0; });
    const auto high = std::find_if(ink.rbegin(), ink.rend(), [](int n) { return n > 0; });
    ASSERT_NE(low, ink.end());
    // The glyph sits above the origin, within the font size; an upright L has its
    // bar at the bottom.
    EXPECT_GT(low - ink.begin(), 30);
    EXPECT_LT(ink.rend() - high - 1, 30 + 60);
    EXPECT_GT(*(low + 1), 2 * *(high + 1));
}

TEST(AnnotationRenderer, ABlurPixellatesItsAreaFromTheSource) {
    const AnnotationDoc doc = onNoise(200, 200, {blur({40, 40, 80, 80})});
    const QImage image = AnnotationRenderer::render(doc);
    // Cells of 8 around the centre (80, 80): the pixels of one cell share a colour.
    EXPECT_EQ(at(image, 80, 80), at(image, 87, 87));
    EXPECT_NE(at(image, 80, 80), at(image, 79, 80));
    EXPECT_EQ(at(image, 30, 30), at(doc.source, 30, 30));

    const AnnotationDoc round =
        onNoise(100, 100, {blur({0, 0, 100, 100}, Annotation::BlurShape::ellipse)});
    const QImage ellipse = AnnotationRenderer::render(round);
    EXPECT_EQ(at(ellipse, 2, 2), at(round.source, 2, 2)) << "corners left alone";
    EXPECT_EQ(at(ellipse, 97, 97), at(round.source, 97, 97));
    EXPECT_NE(at(ellipse, 50, 50), at(round.source, 50, 50));
}

TEST(AnnotationRenderer, ARotatedBlurDrawsTheUnrotatedAreaTurned) {
    const AnnotationDoc doc = onNoise(
        200, 200, {blur({60, 60, 80, 80}, Annotation::BlurShape::rect, std::numbers::pi / 4)});
    const QImage image = AnnotationRenderer::render(doc);
    // A corner of the unrotated square lies outside the diamond…
    EXPECT_EQ(at(image, 63, 63), at(doc.source, 63, 63));
    // …and a point beyond its side lies inside: the diamond reaches 56.6 from the centre.
    const QColor beyondSide = at(image, 100 + 50, 100);
    EXPECT_NE(beyondSide, at(doc.source, 150, 100));
    EXPECT_EQ(beyondSide, at(image, 100 + 51, 100));
}
