#include "CanvasViewport.h"

#include "AnnotateTestImages.h"

#include <gtest/gtest.h>

namespace {

CanvasViewport landscapeInSquare() {
    return AnnotateTestImages::fittedViewport({800, 800}, {0, 0, 1200, 800});
}

} // namespace

TEST(CanvasViewport, FitsAndCentresTheVisibleRectangle) {
    const CanvasViewport view = landscapeInSquare();
    const QRectF base = view.baseDisplayRect();
    EXPECT_DOUBLE_EQ(base.width(), 800);
    EXPECT_NEAR(base.height(), 533.33, 0.01);
    EXPECT_NEAR(base.y(), 133.33, 0.01);
    EXPECT_DOUBLE_EQ(view.displayScale(), 1.5);
    // A small image is enlarged to fit.
    const CanvasViewport small = AnnotateTestImages::fittedViewport({400, 400}, {0, 0, 100, 50});
    EXPECT_DOUBLE_EQ(small.baseDisplayRect().width(), 400);
    // Nothing to show without an area.
    EXPECT_TRUE(
        (AnnotateTestImages::fittedViewport({400, 400}, {0, 0, 0, 50})).baseDisplayRect().isNull());
}

TEST(CanvasViewport, ConvertsBetweenViewAndImagePointsWithACrop) {
    CanvasViewport view = AnnotateTestImages::fittedViewport({800, 800}, {100, 50, 1200, 800});
    // The bottom-left of the fitted image is the crop's origin.
    EXPECT_NEAR(view.viewToImage({0, 133.333333}).x(), 100, 1e-6);
    EXPECT_NEAR(view.viewToImage({0, 133.333333}).y(), 50, 1e-4);
    view.zoom = 2;
    view.panOffset = {30, -20};
    const QPointF q(700, 420);
    const QPointF back = view.viewToImage(view.imageToView(q));
    EXPECT_NEAR(back.x(), q.x(), 1e-9);
    EXPECT_NEAR(back.y(), q.y(), 1e-9);
    EXPECT_DOUBLE_EQ(view.displayScale(), 0.75);
}

TEST(CanvasViewport, ZoomKeepsTheImagePointUnderTheViewPoint) {
    CanvasViewport view = landscapeInSquare();
    const QPointF v(600, 500);
    const QPointF q = view.viewToImage(v);
    view.setZoom(3, q, v);
    EXPECT_EQ(view.zoom, 3);
    EXPECT_NEAR(view.imageToView(q).x(), v.x(), 1e-9);
    EXPECT_NEAR(view.imageToView(q).y(), v.y(), 1e-9);
}

TEST(CanvasViewport, ZoomSnapsToOneAndRecentres) {
    CanvasViewport view = landscapeInSquare();
    view.setZoom(2, {1000, 700}, {700, 600});
    ASSERT_NE(view.panOffset, QPointF(0, 0));
    view.setZoom(1.005, {1000, 700}, {700, 600});
    EXPECT_EQ(view.zoom, 1.0);
    EXPECT_EQ(view.panOffset, QPointF(0, 0));
}

TEST(CanvasViewport, ZoomStaysBetweenAFifthAndEight) {
    CanvasViewport view = landscapeInSquare();
    view.setZoom(0.01, {600, 400}, {400, 400});
    EXPECT_DOUBLE_EQ(view.zoom, 0.2);
    view.setZoom(100, {600, 400}, {400, 400});
    EXPECT_DOUBLE_EQ(view.zoom, 8);
}

TEST(CanvasViewport, PanIsLimitedToTheFittedSizeAtZoomOne) {
    CanvasViewport view = landscapeInSquare();
    view.panOffset = {5000, -5000};
    view.clampPan();
    EXPECT_DOUBLE_EQ(view.panOffset.x(), 800);
    EXPECT_NEAR(view.panOffset.y(), -533.33, 0.01);
    view.zoom = 3;
    view.panOffset = {5000, 0};
    view.clampPan();
    EXPECT_DOUBLE_EQ(view.panOffset.x(), (800 + 2400) / 2.0);
}
