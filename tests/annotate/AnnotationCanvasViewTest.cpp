#include "AnnotationCanvasView.h"

#include "AnnotateTestImages.h"
#include "AnnotationRenderer.h"
#include "CanvasEvents.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <numbers>

using AnnotateTestImages::item;
using AnnotateTestImages::textItem;
using Kind = Annotation::Kind;
namespace Events = CanvasEvents;

namespace {

// A 400 x 300 image in a 400 x 300 canvas: one image point per view point,
// and the canvas's widget position (x, 300 - y) shows image point (x, y).
class CanvasTest : public ::testing::Test {
protected:
    CanvasTest() {
        canvas_.resize(400, 300);
        canvas_.setDocument(
            AnnotationDoc{AnnotateTestImages::filled(400, 300, Qt::white), std::nullopt, {}});
        canvas_.setStrokeColor(Qt::red);
        canvas_.setStrokeWidth(4);
    }

    void useTool(AnnotationTool tool) { canvas_.setTool(tool); }

    void setItems(const QList<Annotation>& items) {
        AnnotationDoc doc = canvas_.document();
        doc.items = items;
        canvas_.setDocument(doc);
    }

    // The most recent argument of a spied signal.
    template <typename T>
    static T last(const QSignalSpy& spy) {
        return spy.last().first().value<T>();
    }

    AnnotationCanvasView canvas_;
    QSignalSpy committed_{&canvas_, &AnnotationCanvasView::committed};
    QSignalSpy cropped_{&canvas_, &AnnotationCanvasView::cropped};
    QSignalSpy replaced_{&canvas_, &AnnotationCanvasView::itemsReplaced};
    QSignalSpy snapshots_{&canvas_, &AnnotationCanvasView::snapshotRequested};
    QSignalSpy selections_{&canvas_, &AnnotationCanvasView::selectionChanged};
    QSignalSpy deletes_{&canvas_, &AnnotationCanvasView::deleteRequested};
    QSignalSpy zooms_{&canvas_, &AnnotationCanvasView::zoomChanged};
};

} // namespace

TEST_F(CanvasTest, ShapesSmallerThanThreePointsAreDropped) {
    useTool(AnnotationTool::rect);
    QTest::mouseClick(&canvas_, Qt::LeftButton, {}, QPoint(100, 100));
    Events::drag(canvas_, {100, 100}, {102.9, 102.9});
    EXPECT_EQ(committed_.count(), 0);
    EXPECT_FALSE(canvas_.draft());

    QTest::mousePress(&canvas_, Qt::LeftButton, {}, QPoint(100, 200));
    QTest::mouseMove(&canvas_, QPoint(102, 200));
    ASSERT_TRUE(canvas_.draft());
    QTest::mouseRelease(&canvas_, Qt::LeftButton, {}, QPoint(103, 200));
    ASSERT_EQ(committed_.count(), 1);
    const Annotation flat = last<Annotation>(committed_);
    EXPECT_EQ(flat.kind, Kind::rect);
    EXPECT_EQ(flat.rect, QRectF(100, 100, 3, 0));
    EXPECT_EQ(flat.color, QColor(Qt::red));
    EXPECT_EQ(flat.lineWidth, 4);
}

TEST_F(CanvasTest, ShortLinesCountTheirLargerSide) {
    useTool(AnnotationTool::line);
    Events::drag(canvas_, {50, 50}, {53, 50});
    ASSERT_EQ(committed_.count(), 1);
    EXPECT_EQ(last<Annotation>(committed_).rect, QRectF(50, 50, 3, 0));
    // 4 points long, but neither side reaches 3.
    Events::drag(canvas_, {50, 50}, {52.83, 52.83});
    EXPECT_EQ(committed_.count(), 1);
}

TEST_F(CanvasTest, SegmentsKeepTheirDirectionAndBoxesAreStandardized) {
    useTool(AnnotationTool::arrow);
    Events::drag(canvas_, {200, 200}, {150, 120});
    EXPECT_EQ(last<Annotation>(committed_).rect, QRectF(200, 200, -50, -80));
    useTool(AnnotationTool::blur);
    canvas_.setBlurShape(Annotation::BlurShape::ellipse);
    Events::drag(canvas_, {200, 200}, {150, 120});
    const Annotation blurred = last<Annotation>(committed_);
    EXPECT_EQ(blurred.rect, QRectF(150, 120, 50, 80));
    EXPECT_EQ(blurred.kind, Kind::blur);
    EXPECT_EQ(blurred.blurShape, Annotation::BlurShape::ellipse);
}

TEST_F(CanvasTest, ShiftMakesBoxesSquareButNotLines) {
    useTool(AnnotationTool::ellipse);
    Events::drag(canvas_, {10, 10}, {40, 20}, Qt::ShiftModifier);
    EXPECT_EQ(last<Annotation>(committed_).rect, QRectF(10, 10, 30, 30));
    Events::drag(canvas_, {10, 10}, {-20, 15}, Qt::ShiftModifier);
    EXPECT_EQ(last<Annotation>(committed_).rect, QRectF(-20, 10, 30, 30));
    useTool(AnnotationTool::line);
    Events::drag(canvas_, {10, 10}, {40, 20}, Qt::ShiftModifier);
    EXPECT_EQ(last<Annotation>(committed_).rect, QRectF(10, 10, 30, 10));
}

TEST_F(CanvasTest, TheCropToolReportsACropAndDrawsNothing) {
    useTool(AnnotationTool::crop);
    Events::press(canvas_, {300, 50});
    Events::move(canvas_, {100, 250});
    ASSERT_TRUE(canvas_.draft());
    EXPECT_EQ(canvas_.draft()->kind, Kind::rect);
    Events::release(canvas_, {100, 250});
    EXPECT_EQ(committed_.count(), 0);
    ASSERT_EQ(cropped_.count(), 1);
    EXPECT_EQ(last<QRectF>(cropped_), QRectF(100, 50, 200, 200));
}

TEST_F(CanvasTest, ClickingSelectsTheTopItemAndTakesASnapshot) {
    useTool(AnnotationTool::select);
    setItems({item(Kind::rect, {50, 50, 100, 100}), item(Kind::rect, {80, 80, 100, 100})});
    Events::press(canvas_, {100, 100});
    Events::release(canvas_, {100, 100});
    EXPECT_EQ(canvas_.selectedIndex(), 1);
    EXPECT_EQ(last<std::optional<int>>(selections_), 1);
    EXPECT_EQ(snapshots_.count(), 1);
    EXPECT_EQ(replaced_.count(), 0);
}

TEST_F(CanvasTest, APressOnNothingClearsTheSelectionWithoutASnapshot) {
    useTool(AnnotationTool::select);
    setItems({item(Kind::rect, {50, 50, 100, 100})});
    canvas_.setSelectedIndex(0);
    Events::press(canvas_, {350, 250});
    EXPECT_FALSE(canvas_.selectedIndex());
    ASSERT_EQ(selections_.count(), 1);
    EXPECT_FALSE(last<std::optional<int>>(selections_));
    EXPECT_EQ(snapshots_.count(), 0);
    EXPECT_EQ(canvas_.dragMode(), AnnotationCanvasView::DragMode::none);
}

TEST_F(CanvasTest, DraggingMovesTheWholeItemOrOneEndOfASegment) {
    useTool(AnnotationTool::select);
    setItems({item(Kind::line, {100, 100, 100, 50}), item(Kind::rect, {250, 50, 100, 100})});
    Events::drag(canvas_, {300, 60}, {310, 70});
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[1].rect, QRectF(260, 60, 100, 100));
    Events::drag(canvas_, {150, 125}, {150, 135});
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[0].rect, QRectF(100, 110, 100, 50));
    Events::drag(canvas_, {102, 112}, {90, 90});
    // The start moved by (-12, -22); the end stays at (200, 160).
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[0].rect, QRectF(88, 88, 112, 72));
    Events::drag(canvas_, {198, 158}, {220, 150});
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[0].rect, QRectF(88, 88, 134, 64));
    EXPECT_EQ(snapshots_.count(), 4);
}

TEST_F(CanvasTest, ACornerResizesAgainstTheOppositeCorner) {
    useTool(AnnotationTool::select);
    setItems({item(Kind::ellipse, {100, 100, 100, 80})});
    Events::press(canvas_, {198, 178});
    EXPECT_EQ(canvas_.dragMode(), AnnotationCanvasView::DragMode::resize);
    Events::move(canvas_, {60, 70});
    Events::release(canvas_, {60, 70});
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[0].rect, QRectF(60, 70, 40, 30));
}

TEST_F(CanvasTest, ATextCornerSetsTheFontSizeByItsDistanceFromTheBottomEdge) {
    useTool(AnnotationTool::select);
    setItems({textItem("Hello", {100, 100, 80, 20})});
    Events::press(canvas_, {180, 120});
    EXPECT_EQ(canvas_.dragMode(), AnnotationCanvasView::DragMode::resize);
    Events::move(canvas_, {150, 130});
    const Annotation grown = last<QList<Annotation>>(replaced_)[0];
    EXPECT_EQ(grown.rect, QRectF(100, 100, AnnotationRenderer::measureTextWidth("Hello", 30), 30));
    Events::move(canvas_, {150, 75});
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[0].rect.height(), 25);
    Events::move(canvas_, {150, 97});
    EXPECT_EQ(last<QList<Annotation>>(replaced_)[0].rect.height(), 8);
}

TEST_F(CanvasTest, ARotatedBoxIsMovedFromItsCornerRatherThanResized) {
    useTool(AnnotationTool::select);
    Annotation turned = item(Kind::rect, {100, 100, 100, 100});
    turned.rotation = 0.3;
    setItems({turned});
    Events::press(canvas_, {150, 150});
    EXPECT_EQ(canvas_.dragMode(), AnnotationCanvasView::DragMode::whole);
}

TEST_F(CanvasTest, TheRotationHandleWinsOverAnItemBelowIt) {
    useTool(AnnotationTool::select);
    // The handle of the first item sits 26 points above its top edge, at (150, 146),
    // inside the second item.
    setItems({item(Kind::rect, {100, 100, 100, 20}), item(Kind::rect, {120, 130, 60, 40})});
    canvas_.setSelectedIndex(0);
    Events::press(canvas_, {150, 146});
    EXPECT_EQ(canvas_.dragMode(), AnnotationCanvasView::DragMode::rotate);
    EXPECT_EQ(canvas_.selectedIndex(), 0);
    EXPECT_EQ(selections_.count(), 0);
    EXPECT_EQ(snapshots_.count(), 1);
    // A quarter turn clockwise on screen: from above the centre to its right.
    Events::move(canvas_, {186, 110});
    EXPECT_NEAR(last<QList<Annotation>>(replaced_)[0].rotation, -std::numbers::pi / 2, 1e-9);
}

TEST_F(CanvasTest, DeleteKeysRequestDeletionOnlyWithASelection) {
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(&canvas_, &backspace);
    EXPECT_FALSE(backspace.isAccepted());
    EXPECT_EQ(deletes_.count(), 0);

    setItems({item(Kind::rect, {50, 50, 100, 100})});
    canvas_.setSelectedIndex(0);
    QKeyEvent forwardDelete(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&canvas_, &forwardDelete);
    EXPECT_TRUE(forwardDelete.isAccepted());
    QTest::keyClick(&canvas_, Qt::Key_Backspace);
    EXPECT_EQ(deletes_.count(), 2);
}

TEST_F(CanvasTest, TextIsTypedIntoAFieldAndCommittedWithReturn) {
    useTool(AnnotationTool::text);
    canvas_.setStrokeWidth(3);
    Events::press(canvas_, {40, 60});
    QLineEdit* field = canvas_.textField();
    ASSERT_TRUE(field);
    // The field's bottom-left corner is where the text will stand.
    EXPECT_EQ(field->geometry(), QRect(40, 300 - 60 - 24, 200, 24));
    QTest::keyClicks(field, "Hi there");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(canvas_.textField());
    ASSERT_EQ(committed_.count(), 1);
    const Annotation label = last<Annotation>(committed_);
    EXPECT_EQ(label.kind, Kind::text);
    EXPECT_EQ(label.text, "Hi there");
    EXPECT_EQ(label.rect, QRectF(40, 60, AnnotationRenderer::measureTextWidth("Hi there", 18), 18));
    EXPECT_EQ(label.lineWidth, 3);
}

TEST_F(CanvasTest, AnEmptyOrCancelledFieldAddsNothing) {
    useTool(AnnotationTool::text);
    Events::press(canvas_, {40, 60});
    QTest::keyClick(canvas_.textField(), Qt::Key_Return);
    EXPECT_FALSE(canvas_.textField());
    Events::press(canvas_, {40, 60});
    QTest::keyClicks(canvas_.textField(), "draft");
    QTest::keyClick(canvas_.textField(), Qt::Key_Escape);
    EXPECT_FALSE(canvas_.textField());
    EXPECT_EQ(committed_.count(), 0);
}

TEST_F(CanvasTest, TheNextTextPressCommitsTheOpenField) {
    useTool(AnnotationTool::text);
    Events::press(canvas_, {40, 60});
    QTest::keyClicks(canvas_.textField(), "one");
    Events::press(canvas_, {100, 200});
    ASSERT_EQ(committed_.count(), 1);
    EXPECT_EQ(last<Annotation>(committed_).rect.topLeft(), QPointF(40, 60));
    EXPECT_TRUE(canvas_.textField());
}

TEST_F(CanvasTest, ControlWheelZoomsAboutThePointer) {
    const QPointF pointer(100, 100);
    const QPointF underPointer = canvas_.viewport().viewToImage(canvas_.toViewPoint(pointer));
    Events::wheel(canvas_, pointer, {0, 4}, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(canvas_.zoom(), 1.2);
    EXPECT_DOUBLE_EQ(last<double>(zooms_), 1.2);
    const QPointF after = canvas_.viewport().viewToImage(canvas_.toViewPoint(pointer));
    EXPECT_NEAR(after.x(), underPointer.x(), 1e-9);
    EXPECT_NEAR(after.y(), underPointer.y(), 1e-9);
    Events::wheel(canvas_, pointer, {0, -1000}, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(canvas_.zoom(), 0.2);
}

TEST_F(CanvasTest, PlainWheelPansWithinLimits) {
    Events::wheel(canvas_, {200, 150}, {0, 1});
    // Turning the wheel away from you moves the image down: y up, so the offset drops.
    EXPECT_LT(canvas_.panOffset().y(), 0);
    Events::wheel(canvas_, {200, 150}, {100, 0});
    EXPECT_DOUBLE_EQ(canvas_.panOffset().x(), 400);
    EXPECT_EQ(zooms_.count(), 0);
}

TEST_F(CanvasTest, PaintsTheDocumentUprightAndTheSelectionHandles) {
    useTool(AnnotationTool::select);
    setItems({item(Kind::rect, {20, 20, 100, 60}, 6, Qt::blue)});
    canvas_.setSelectedIndex(0);
    const QImage shown = canvas_.grab().toImage();
    // The box's left edge near the bottom of the image is near the bottom of the view.
    EXPECT_EQ(shown.pixelColor(18, 300 - 50), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(70, 300 - 18), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(70, 300 - 50), QColor(Qt::white));
    // The outline in the accent colour, and a white square handle on each corner.
    EXPECT_NE(shown.pixelColor(20, 300 - 50), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(120, 300 - 80), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(20, 300 - 20), QColor(Qt::white));
    // Other tools hide the selection but keep it.
    useTool(AnnotationTool::arrow);
    EXPECT_EQ(canvas_.grab().toImage().pixelColor(120, 300 - 80), QColor(Qt::blue));
    EXPECT_EQ(canvas_.selectedIndex(), 0);
}
