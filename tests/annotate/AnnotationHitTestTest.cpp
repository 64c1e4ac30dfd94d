#include "AnnotationHitTest.h"

#include "AnnotateTestImages.h"

#include <gtest/gtest.h>

#include <numbers>

using AnnotateTestImages::item;
using AnnotateTestImages::textItem;
using Kind = Annotation::Kind;
namespace Hit = AnnotationHitTest;

namespace {

// One image point per view point.
const CanvasViewport actualSize = AnnotateTestImages::fittedViewport({400, 300}, {0, 0, 400, 300});
// Two image points per view point.
const CanvasViewport halfSize = AnnotateTestImages::fittedViewport({200, 150}, {0, 0, 400, 300});

} // namespace

TEST(AnnotationHitTest, ALineIsHitWithinEightViewPointsPlusItsWidth) {
    const QList<Annotation> items{item(Kind::line, {100, 100, 100, 0}, 2)};
    EXPECT_EQ(Hit::itemAt(items, {150, 109.9}, actualSize), 0);
    EXPECT_FALSE(Hit::itemAt(items, {150, 110}, actualSize));
    // Past the ends the distance is taken to the end point.
    EXPECT_EQ(Hit::itemAt(items, {206, 106}, actualSize), 0);
    // Tolerances are in view points: at half size they cover twice the image points.
    EXPECT_EQ(Hit::itemAt(items, {150, 117.9}, halfSize), 0);
    EXPECT_FALSE(Hit::itemAt(items, {150, 118.1}, halfSize));
}

TEST(AnnotationHitTest, TheTopMostItemWins) {
    const QList<Annotation> items{item(Kind::rect, {50, 50, 100, 100}),
                                  item(Kind::ellipse, {80, 80, 100, 100})};
    EXPECT_EQ(Hit::itemAt(items, {100, 100}, actualSize), 1);
    EXPECT_EQ(Hit::itemAt(items, {60, 60}, actualSize), 0);
    // An ellipse is hit anywhere in its box.
    EXPECT_EQ(Hit::itemAt(items, {178, 178}, actualSize), 1);
    EXPECT_FALSE(Hit::itemAt(items, {300, 20}, actualSize));
}

TEST(AnnotationHitTest, ARotatedRectangleIsHitWhereItIsDrawn) {
    Annotation bar = item(Kind::rect, {100, 140, 200, 20}, 0);
    bar.rotation = std::numbers::pi / 2; // now upright, centred on (200, 150)
    const QList<Annotation> items{bar};
    EXPECT_EQ(Hit::itemAt(items, {200, 230}, actualSize), 0);
    EXPECT_FALSE(Hit::itemAt(items, {120, 150}, actualSize));
    EXPECT_FALSE(Hit::cornerFixedPoint(bar, {100, 140}, 12));
}

TEST(AnnotationHitTest, TextWithoutASizeUsesTheFallbackBox) {
    // Size max(2 x 6, 14) = 14; width max(14 x 3 x 0.6, 24) = 25.2.
    const Annotation label = textItem("abc", {100, 100, 40, 0.5}, 2);
    EXPECT_EQ(Hit::outlineBox(label), QRectF(100, 100, 25.2, 14));
    const QList<Annotation> items{label};
    EXPECT_EQ(Hit::itemAt(items, {100 + 25.2 + 9.9, 120}, actualSize), 0);
    EXPECT_FALSE(Hit::itemAt(items, {100 + 25.2 + 10.1, 120}, actualSize));
}

TEST(AnnotationHitTest, EndpointsAndCornersWithinTwelveViewPoints) {
    const Annotation arrow = item(Kind::arrow, {10, 10, 100, 50});
    EXPECT_EQ(Hit::endpointAt(arrow, {15, 15}, 12), Hit::SegmentEnd::start);
    EXPECT_EQ(Hit::endpointAt(arrow, {105, 55}, 12), Hit::SegmentEnd::end);
    EXPECT_FALSE(Hit::endpointAt(arrow, {60, 35}, 12));
    EXPECT_FALSE(Hit::cornerFixedPoint(arrow, {10, 10}, 12));

    const Annotation box = item(Kind::blur, {50, 50, 100, 60});
    EXPECT_EQ(Hit::cornerFixedPoint(box, {52, 52}, 12), QPointF(150, 110));
    EXPECT_EQ(Hit::cornerFixedPoint(box, {148, 52}, 12), QPointF(50, 110));
    EXPECT_EQ(Hit::cornerFixedPoint(box, {52, 108}, 12), QPointF(150, 50));
    EXPECT_EQ(Hit::cornerFixedPoint(box, {148, 108}, 12), QPointF(50, 50));
    EXPECT_FALSE(Hit::endpointAt(box, {50, 50}, 12));
    // Every corner of a text item keeps its origin.
    const Annotation label = textItem("hi", {30, 40, 50, 20});
    EXPECT_EQ(Hit::cornerFixedPoint(label, {80, 60}, 12), QPointF(30, 40));
}

TEST(AnnotationHitTest, RotationHandleSitsAboveTheTopEdgeAndTurnsWithTheItem) {
    Annotation box = item(Kind::rect, {100, 100, 80, 40});
    EXPECT_EQ(Hit::rotationHandle(box, actualSize), QPointF(140, 120 + 20 + 26));
    // 26 view points at any zoom; the half height shrinks with it.
    EXPECT_EQ(Hit::rotationHandle(box, halfSize), QPointF(70, 60 + 10 + 26));
    box.rotation = std::numbers::pi / 2;
    const QPointF handle = Hit::rotationHandle(box, actualSize);
    EXPECT_NEAR(handle.x(), 140 - 46, 1e-9);
    EXPECT_NEAR(handle.y(), 120, 1e-9);
}
