#include "AnnotationHitTest.h"
#include "CanvasViewport.h"
#include "Pixellation.h"
#include "TestAnnotations.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace TestAnnotations;
using Kind = Annotation::Kind;
namespace Hit = AnnotationHitTest;

namespace {

// One image point per view point, and two.
const CanvasViewport actualSize = fittedViewport({400, 300}, {0, 0, 400, 300});
const CanvasViewport halfSize = fittedViewport({200, 150}, {0, 0, 400, 300});

} // namespace

TEST(CanvasViewport, FitsAndCentresTheVisibleRectangleAndConvertsPointsWithACrop) {
    CanvasViewport view = fittedViewport({800, 800}, {100, 50, 1200, 800});
    EXPECT_DOUBLE_EQ(view.baseDisplayRect().width(), 800);
    EXPECT_NEAR(view.baseDisplayRect().y(), 133.33, 0.01);
    EXPECT_DOUBLE_EQ(view.displayScale(), 1.5);
    // The bottom-left of the fitted image is the crop's origin.
    EXPECT_NEAR(view.viewToImage({0, 133.333333}).x(), 100, 1e-6);
    EXPECT_NEAR(view.viewToImage({0, 133.333333}).y(), 50, 1e-4);
    view.zoom = 2;
    view.panOffset = {30, -20};
    const QPointF back = view.viewToImage(view.imageToView({700, 420}));
    EXPECT_NEAR(back.x(), 700, 1e-9);
    EXPECT_NEAR(back.y(), 420, 1e-9);
    EXPECT_DOUBLE_EQ(view.displayScale(), 0.75);
    // A small image is enlarged to fit; without an area there is nothing to show.
    EXPECT_DOUBLE_EQ(fittedViewport({400, 400}, {0, 0, 100, 50}).baseDisplayRect().width(), 400);
    EXPECT_TRUE(fittedViewport({400, 400}, {0, 0, 0, 50}).baseDisplayRect().isNull());
}

TEST(CanvasViewport, ZoomSnapsToOneAndPanStaysWithinTheFittedSizeTimesTheZoom) {
    CanvasViewport view = fittedViewport({800, 800}, {0, 0, 1200, 800});
    view.setZoom(2, {1000, 700}, {700, 600});
    ASSERT_NE(view.panOffset, QPointF(0, 0));
    view.setZoom(1.005, {1000, 700}, {700, 600});
    EXPECT_EQ(view.zoom, 1.0);
    EXPECT_EQ(view.panOffset, QPointF(0, 0));
    view.panOffset = {5000, -5000};
    view.clampPan();
    EXPECT_DOUBLE_EQ(view.panOffset.x(), 800);
    EXPECT_NEAR(view.panOffset.y(), -533.33, 0.01);
    view.zoom = 3;
    view.panOffset = {5000, 0};
    view.clampPan();
    EXPECT_DOUBLE_EQ(view.panOffset.x(), (800 + 2400) / 2.0);
}

TEST(AnnotationHitTest, AnItemIsHitWithinEightViewPointsPlusItsWidthTheTopMostFirst) {
    const QList<Annotation> line{item(Kind::line, {100, 100, 100, 0}, 2)};
    const QList<Annotation> boxes{item(Kind::rect, {50, 50, 100, 100}),
                                  item(Kind::ellipse, {80, 80, 100, 100})};
    Annotation bar = item(Kind::rect, {100, 140, 200, 20}, 0);
    bar.rotation = std::numbers::pi / 2; // now upright, centred on (200, 150)
    // Text without a size: max(2 x 6, 14) = 14 high, max(14 x 3 x 0.6, 24) = 25.2 wide.
    const QList<Annotation> label{textItem("abc", {100, 100, 40, 0.5}, 2)};
    EXPECT_EQ(Hit::outlineBox(label[0]), QRectF(100, 100, 25.2, 14));
    const std::tuple<QList<Annotation>, QPointF, CanvasViewport, std::optional<int>> cases[] = {
        {line, {150, 109.9}, actualSize, 0},
        {line, {150, 110}, actualSize, std::nullopt},
        {line, {206, 106}, actualSize, 0}, // past the end: the distance to the end point
        {line, {150, 117.9}, halfSize, 0},
        {line, {150, 118.1}, halfSize, std::nullopt},
        {boxes, {100, 100}, actualSize, 1},
        {boxes, {60, 60}, actualSize, 0},
        {boxes, {178, 178}, actualSize, 1}, // an ellipse is hit anywhere in its box
        {boxes, {300, 20}, actualSize, std::nullopt},
        {{bar}, {200, 230}, actualSize, 0},
        {{bar}, {120, 150}, actualSize, std::nullopt},
        {label, {100 + 25.2 + 9.9, 120}, actualSize, 0},
        {label, {100 + 25.2 + 10.1, 120}, actualSize, std::nullopt},
    };
    for (const auto& [items, point, view, hit] : cases)
        EXPECT_EQ(Hit::itemAt(items, point, view), hit) << point.x() << "," << point.y();
    EXPECT_FALSE(Hit::cornerFixedPoint(bar, {100, 140}, 12)) << "a turned box has no corners";
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
    EXPECT_EQ(Hit::cornerFixedPoint(textItem("hi", {30, 40, 50, 20}), {80, 60}, 12),
              QPointF(30, 40));
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

TEST(Pixellation, CellsAreASixteenthOfTheShorterSideWithinEightAndTwenty) {
    EXPECT_EQ(Pixellation::cellSize(QRect(0, 0, 200, 80)), 8);
    EXPECT_EQ(Pixellation::cellSize(QRect(0, 0, 640, 480)), 20);
    EXPECT_EQ(Pixellation::cellSize(QRect(0, 0, 240, 240)), 15);
    // The pixel area is the smallest whole-pixel rectangle.
    EXPECT_EQ(Pixellation::pixelArea({10.5, 20.2, 30, 40.1}, 1, 1), QRect(10, 20, 31, 41));
    EXPECT_EQ(Pixellation::pixelArea({10, 20, 30, 40}, 2, 2), QRect(20, 40, 60, 80));
    EXPECT_EQ(Pixellation::pixelArea({40, 60, -30, -40}, 1, 1), QRect(10, 20, 30, 40));
}

TEST(Pixellation, TheGridIsAlignedOnTheAreasCentre) {
    const QImage source = TestImages::noise(200, 80);
    // Cells of 8 around x = 100: edges at 4, 12, …, 196, so partial cells at both ends.
    const QImage cells = Pixellation::pixellate(source, QRect(0, 0, 200, 80));
    ASSERT_EQ(cells.size(), QSize(200, 80));
    EXPECT_EQ(cells.pixel(0, 40), cells.pixel(3, 40));
    EXPECT_NE(cells.pixel(3, 40), cells.pixel(4, 40));
    EXPECT_EQ(cells.pixel(4, 40), cells.pixel(11, 40));
    EXPECT_NE(cells.pixel(11, 40), cells.pixel(12, 40));
    EXPECT_EQ(cells.pixel(196, 40), cells.pixel(199, 40));
    EXPECT_NE(cells.pixel(195, 40), cells.pixel(196, 40));
    // Rows: around y = 40 the edges are at 0, 8, …
    EXPECT_EQ(cells.pixel(20, 0), cells.pixel(20, 7));
    EXPECT_NE(cells.pixel(20, 7), cells.pixel(20, 8));
}

TEST(Pixellation, EachCellIsTheMeanOfTheSourceUnderItAndNothingBeyondIt) {
    QImage checker(16, 16, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QImage cells = Pixellation::pixellate(checker, QRect(0, 0, 16, 16));
    const QColor grey = cells.pixelColor(5, 5);
    EXPECT_NEAR(grey.red(), 128, 1);
    EXPECT_EQ(cells.pixel(0, 0), cells.pixel(15, 15));
    // Area beyond the source stays transparent.
    const QImage source = TestImages::filled(50, 50, Qt::blue);
    // y up: this area reaches 20 pixels above the top row and 10 left of the first column.
    const QImage beyond = Pixellation::pixellate(source, QRect(-10, 30, 40, 40));
    EXPECT_EQ(qAlpha(beyond.pixel(0, 0)), 0);
    EXPECT_EQ(beyond.pixelColor(35, 35), QColor(Qt::blue));
}
