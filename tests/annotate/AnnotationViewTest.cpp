// The editor window as a person uses it: keys, buttons and the mouse on the
// canvas, at image points; results read from the editor's state.
#include "AnnotationView.h"

#include "AnnotationCanvasView.h"
#include "AnnotationHitTest.h"
#include "AnnotationRenderer.h"
#include "AnnotationWindowController.h"
#include "AppLocale.h"
#include "SandboxHome.h"
#include "TestAnnotations.h"

#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <numbers>

using Kind = Annotation::Kind;

// Mouse and wheel events for the canvas at exact image points, sent through
// the application like the window system's own.
namespace Events {

QPointF widgetPosition(const AnnotationCanvasView& canvas, QPointF imagePoint) {
    return canvas.toWidgetPosition(canvas.viewport().imageToView(imagePoint));
}

// A press, move or release of the left button.
void mouse(AnnotationCanvasView& canvas, QEvent::Type type, QPointF imagePoint,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local = widgetPosition(canvas, imagePoint);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, canvas.mapToGlobal(local), button, held, modifiers);
    QApplication::sendEvent(&canvas, &event);
}

void press(AnnotationCanvasView& canvas, QPointF imagePoint) {
    mouse(canvas, QEvent::MouseButtonPress, imagePoint);
}

void move(AnnotationCanvasView& canvas, QPointF imagePoint) {
    mouse(canvas, QEvent::MouseMove, imagePoint);
}

void release(AnnotationCanvasView& canvas, QPointF imagePoint) {
    mouse(canvas, QEvent::MouseButtonRelease, imagePoint);
}

// Press, two moves and release.
void drag(AnnotationCanvasView& canvas, QPointF from, QPointF to,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (const auto& [type, point] : {std::pair{QEvent::MouseButtonPress, from},
                                      {QEvent::MouseMove, (from + to) / 2},
                                      {QEvent::MouseMove, to},
                                      {QEvent::MouseButtonRelease, to}})
        mouse(canvas, type, point, modifiers);
}

// A mouse wheel turned by `notches` (positive: away from the user).
void wheel(AnnotationCanvasView& canvas, QPointF widgetPosition, QPoint notches,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(widgetPosition, canvas.mapToGlobal(widgetPosition), QPoint(), notches * 120,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &event);
}

} // namespace Events

namespace {

const QColor red(255, 59, 48); // the first colour of every editor

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        TestImages::filled(400, 300, Qt::white).save(path);
        controller.open(path);
        view = controller.window();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view));
    }
    ~EditorTest() override {
        if (controller.window())
            controller.window()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <typename T = QToolButton>
    T* find(const char* name) const {
        T* widget = view->findChild<T*>(name);
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    void click(const char* name) const {
        QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton);
    }
    // Chooses a tool by its key and drags over the canvas.
    void draw(Qt::Key tool, QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = {}) const {
        QTest::keyClick(view, tool);
        Events::drag(canvas(), from, to, modifiers);
    }
    void clickAt(QPointF point) const {
        Events::press(canvas(), point);
        Events::release(canvas(), point);
    }
    AnnotationCanvasView& canvas() const { return *view->canvas(); }
    const AnnotationEditorState& state() const { return view->state(); }
    QRectF rect(int index) const { return state().doc.items.value(index).rect; }
    QString status() const { return find<QLabel>("status")->text(); }
    QString saved() const { return home.file(".glimvault/captures/shot-annotated.png"); }

    SandboxHome home;
    const QString path = home.file("Pictures/shot.png");
    AnnotationWindowController controller;
    AnnotationView* view = nullptr;
};

} // namespace

TEST_F(EditorTest, TwoEditorsOnOneFileAreIndependentAndEachClosesItsOwnWindow) {
    AnnotationView* first = view;
    controller.open(path);
    view = controller.window();
    ASSERT_NE(first, view);
    draw(Qt::Key_M, {10, 10}, {50, 50});
    EXPECT_EQ(state().doc.items.size(), 1);
    EXPECT_TRUE(first->state().doc.items.isEmpty());
    QTest::mouseClick(first->findChild<QPushButton*>("close"), Qt::LeftButton);
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(controller.window(), view);
}

// The select, crop and text keys are used, and so checked, by the tests below.
TEST_F(EditorTest, ADragDrawsTheShapeOfTheToolChosenByItsKey) {
    const QMap<Qt::Key, Kind> kinds{{Qt::Key_M, Kind::rect},
                                    {Qt::Key_L, Kind::ellipse},
                                    {Qt::Key_Backslash, Kind::line},
                                    {Qt::Key_A, Kind::arrow},
                                    {Qt::Key_B, Kind::blur}};
    const struct {
        Qt::Key tool;
        QPointF from, to;
        Qt::KeyboardModifiers modifiers;
        std::optional<QRectF> drawn;
    } strokes[] = {
        // Shapes smaller than three points in both directions are dropped.
        {Qt::Key_M, {100, 100}, {102.9, 102.9}, {}, std::nullopt},
        {Qt::Key_M, {100, 100}, {103, 100}, {}, QRectF(100, 100, 3, 0)},
        {Qt::Key_Backslash, {50, 50}, {52.83, 52.83}, {}, std::nullopt},
        // Segments keep their direction; boxes are standardized.
        {Qt::Key_A, {200, 200}, {150, 120}, {}, QRectF(200, 200, -50, -80)},
        {Qt::Key_B, {200, 200}, {150, 120}, {}, QRectF(150, 120, 50, 80)},
        // Shift makes boxes square, but not lines.
        {Qt::Key_L, {10, 10}, {40, 20}, Qt::ShiftModifier, QRectF(10, 10, 30, 30)},
        {Qt::Key_L, {10, 10}, {-20, 15}, Qt::ShiftModifier, QRectF(-20, 10, 30, 30)},
        {Qt::Key_Backslash, {10, 10}, {40, 20}, Qt::ShiftModifier, QRectF(10, 10, 30, 10)},
    };
    EXPECT_FALSE(find("blur-rect")->isVisible()) << "blur shapes show only with the blur tool";
    click("tool-blur");
    click("tool-blur");
    EXPECT_TRUE(find("tool-blur")->isChecked());
    click("blur-ellipse");
    for (const auto& stroke : strokes) {
        SCOPED_TRACE(stroke.tool);
        const qsizetype before = state().doc.items.size();
        draw(stroke.tool, stroke.from, stroke.to, stroke.modifiers);
        EXPECT_FALSE(canvas().draft());
        ASSERT_EQ(state().doc.items.size(), before + (stroke.drawn ? 1 : 0));
        if (stroke.drawn) {
            EXPECT_EQ(state().doc.items.last().rect, *stroke.drawn);
            EXPECT_EQ(state().doc.items.last().kind, kinds[stroke.tool]);
        }
    }
    const Annotation blurred = state().doc.items[2];
    EXPECT_EQ(blurred.blurShape, Annotation::BlurShape::ellipse);
    EXPECT_EQ(blurred.color, red);
    EXPECT_EQ(blurred.lineWidth, 7);
}

TEST_F(EditorTest, ACropChangesWhatIsShownAndSavedButDrawsNothing) {
    draw(Qt::Key_M, {120, 80}, {140, 100});
    QTest::keyClick(view, Qt::Key_C);
    Events::press(canvas(), {300, 50});
    Events::move(canvas(), {100, 250});
    ASSERT_TRUE(canvas().draft());
    EXPECT_EQ(canvas().draft()->kind, Kind::rect);
    Events::release(canvas(), {100, 250});
    EXPECT_EQ(state().doc.crop, QRectF(100, 50, 200, 200));
    EXPECT_EQ(state().doc.items.size(), 1);
    draw(Qt::Key_C, {150, 100}, {250, 200});
    EXPECT_EQ(state().doc.crop, QRectF(150, 100, 100, 100)) << "a second crop replaces the first";
    EXPECT_EQ(rect(0), QRectF(120, 80, 20, 20)) << "items keep their absolute places";
    click("undo");
    EXPECT_EQ(state().doc.crop, QRectF(100, 50, 200, 200));
    click("save");
    EXPECT_EQ(QImage(saved()).size(), QSize(200, 200));
}

TEST_F(EditorTest, DraggingMovesAnItemOrOneEndOfASegmentInOneUndoStep) {
    draw(Qt::Key_Backslash, {100, 100}, {200, 150});
    draw(Qt::Key_M, {250, 50}, {350, 150});
    QTest::keyClick(view, Qt::Key_V);
    Events::drag(canvas(), {300, 60}, {310, 70});
    EXPECT_EQ(rect(1), QRectF(260, 60, 100, 100));
    Events::drag(canvas(), {150, 125}, {150, 135});
    EXPECT_EQ(rect(0), QRectF(100, 110, 100, 50));
    Events::drag(canvas(), {102, 112}, {90, 90});
    // The start moved by (-12, -22); the end stays at (200, 160).
    EXPECT_EQ(rect(0), QRectF(88, 88, 112, 72));
    Events::drag(canvas(), {198, 158}, {220, 150});
    EXPECT_EQ(rect(0), QRectF(88, 88, 134, 64));
    click("undo");
    EXPECT_EQ(rect(0), QRectF(88, 88, 112, 72));
}

TEST_F(EditorTest, ACornerResizesAgainstTheOppositeCornerOrSetsATextsSize) {
    draw(Qt::Key_L, {100, 100}, {200, 180});
    QTest::keyClick(view, Qt::Key_V);
    Events::press(canvas(), {198, 178});
    EXPECT_EQ(canvas().dragMode(), AnnotationCanvasView::DragMode::resize);
    Events::move(canvas(), {60, 70});
    Events::release(canvas(), {60, 70});
    EXPECT_EQ(rect(0), QRectF(60, 70, 40, 30));

    // A text's size is the corner's distance from its bottom edge.
    QTest::keyClick(view, Qt::Key_T);
    Events::press(canvas(), {250, 100});
    QTest::keyClicks(canvas().textField(), "Hello");
    QTest::keyClick(canvas().textField(), Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_V);
    Events::press(canvas(), rect(1).topRight() + QPointF(-2, 40));
    EXPECT_EQ(canvas().dragMode(), AnnotationCanvasView::DragMode::resize);
    Events::move(canvas(), {300, 130});
    EXPECT_EQ(rect(1), QRectF(250, 100, AnnotationRenderer::measureTextWidth("Hello", 30), 30));
    Events::move(canvas(), {300, 75});
    EXPECT_EQ(rect(1).height(), 25);
    Events::move(canvas(), {300, 97});
    EXPECT_EQ(rect(1).height(), 8);
}

TEST_F(EditorTest, TheRotationHandleWinsOverAnItemBelowIt) {
    draw(Qt::Key_M, {100, 100}, {200, 120});
    draw(Qt::Key_M, {120, 122}, {180, 160});
    QTest::keyClick(view, Qt::Key_V);
    clickAt({150, 110});
    ASSERT_EQ(state().selectedIndex, 0);
    const QPointF handle = canvas().viewport().viewToImage(
        AnnotationHitTest::rotationHandle(state().doc.items[0], canvas().viewport()));
    ASSERT_TRUE(QRectF(120, 122, 60, 38).contains(handle));
    Events::press(canvas(), handle);
    EXPECT_EQ(canvas().dragMode(), AnnotationCanvasView::DragMode::rotate);
    EXPECT_EQ(state().selectedIndex, 0);
    // A quarter turn clockwise on screen: from above the centre to its right.
    Events::move(canvas(), {186, 110});
    EXPECT_NEAR(state().doc.items[0].rotation, -std::numbers::pi / 2, 1e-9);
}

TEST_F(EditorTest, TextIsTypedIntoAFieldWhereLettersAreNoToolKeys) {
    QTest::keyClick(view, Qt::Key_T);
    Events::press(canvas(), {40, 60});
    QLineEdit* field = canvas().textField();
    ASSERT_TRUE(field && field->hasFocus());
    // The field's bottom-left corner is where the text will stand.
    EXPECT_EQ(field->geometry().bottomLeft() + QPoint(0, 1),
              Events::widgetPosition(canvas(), {40, 60}).toPoint());
    QTest::keyClicks(field, "vcat\\mlb");
    EXPECT_EQ(state().tool, AnnotationTool::text);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(canvas().textField());
    EXPECT_TRUE(status().isEmpty()) << "Return in the field does not copy";
    ASSERT_EQ(state().doc.items.size(), 1);
    EXPECT_EQ(state().doc.items[0].text, "vcat\\mlb");
    EXPECT_EQ(rect(0), QRectF(40, 60, AnnotationRenderer::measureTextWidth("vcat\\mlb", 42), 42));

    Events::press(canvas(), {40, 60});
    QTest::keyClick(canvas().textField(), Qt::Key_Return);
    EXPECT_FALSE(canvas().textField()) << "an empty field ends without an item";
    Events::press(canvas(), {40, 60});
    QTest::keyClicks(canvas().textField(), "draft");
    QTest::keyClick(canvas().textField(), Qt::Key_Escape);
    EXPECT_FALSE(canvas().textField());
    EXPECT_EQ(state().doc.items.size(), 1);
    // The next press commits the open field and opens another.
    Events::press(canvas(), {40, 60});
    QTest::keyClicks(canvas().textField(), "one");
    Events::press(canvas(), {100, 200});
    ASSERT_EQ(state().doc.items.size(), 2);
    EXPECT_EQ(rect(1).topLeft(), QPointF(40, 60));
    EXPECT_TRUE(canvas().textField());
}

TEST_F(EditorTest, UndoAndRedoKeysReachTheEditorsStacks) {
    EXPECT_FALSE(find("undo")->isEnabled());
    EXPECT_FALSE(find("redo")->isEnabled());
    draw(Qt::Key_M, {10, 10}, {50, 50});
    draw(Qt::Key_M, {100, 100}, {150, 150});
    EXPECT_TRUE(find("undo")->isEnabled());
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state().doc.items.isEmpty());
    EXPECT_FALSE(find("undo")->isEnabled());
    // Nothing to undo: the key does nothing.
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(state().doc.items.size(), 1);
    EXPECT_TRUE(find("redo")->isEnabled());
    click("redo");
    EXPECT_EQ(state().doc.items.size(), 2);
    EXPECT_FALSE(find("redo")->isEnabled());
    // A selection that an undo took away is none: Delete and a new width touch nothing.
    QTest::keyClick(view, Qt::Key_V);
    clickAt({120, 120});
    ASSERT_EQ(state().selectedIndex, 1);
    click("undo");
    click("undo");
    QTest::keyClick(&canvas(), Qt::Key_Delete);
    find<QSlider>("line-width")->setValue(30);
    ASSERT_EQ(state().doc.items.size(), 1);
    EXPECT_EQ(state().doc.items[0].lineWidth, 7);
    draw(Qt::Key_M, {200, 200}, {250, 250});
    EXPECT_FALSE(find("redo")->isEnabled()) << "a new item empties redo";
}

TEST_F(EditorTest, ColourWidthAndDeleteApplyToTheSelectedItemEvenUnderADrawingTool) {
    draw(Qt::Key_M, {100, 100}, {180, 160});
    QTest::keyClick(&canvas(), Qt::Key_Backspace);
    EXPECT_EQ(state().doc.items.size(), 1) << "nothing selected, nothing deleted";
    QTest::keyClick(view, Qt::Key_V);
    clickAt({100, 130});
    EXPECT_TRUE(find("delete")->isEnabled());
    const qsizetype steps = state().undoStack.size();
    click("color");
    auto* dialog = view->findChild<QColorDialog*>();
    ASSERT_TRUE(dialog);
    dialog->setCurrentColor(QColor(0, 128, 0, 100));
    dialog->accept();
    EXPECT_EQ(state().doc.items[0].color, QColor(0, 128, 0, 100));
    find<QSlider>("line-width")->setValue(115);
    EXPECT_DOUBLE_EQ(state().doc.items[0].lineWidth, 11.5);
    EXPECT_DOUBLE_EQ(state().lineWidth, 11.5);
    EXPECT_EQ(state().undoStack.size(), steps);
    // A press beside every item clears the selection and takes no undo step.
    clickAt({350, 250});
    EXPECT_FALSE(state().selectedIndex);
    EXPECT_EQ(state().undoStack.size(), steps);
    clickAt({100, 130});
    QTest::keyClick(view, Qt::Key_A);
    QTest::keyClick(&canvas(), Qt::Key_Delete);
    EXPECT_TRUE(state().doc.items.isEmpty());
    EXPECT_FALSE(state().selectedIndex);
    EXPECT_FALSE(find("delete")->isEnabled());
}

TEST_F(EditorTest, ZoomStepsByAQuarterWithinLimitsAndAPlainWheelPans) {
    QToolButton* label = find("zoom-reset");
    click("zoom-in");
    EXPECT_EQ(label->text(), "125%");
    click("zoom-reset");
    click("zoom-out");
    EXPECT_EQ(label->text(), "80%");
    for (int i = 0; i < 20; ++i)
        click("zoom-out");
    EXPECT_EQ(label->text(), "20%");
    for (int i = 0; i < 30; ++i)
        click("zoom-in");
    EXPECT_EQ(label->text(), "800%");
    // Control and the wheel zoom about the pointer.
    click("zoom-reset");
    const QPointF pointer(100, 100);
    const QPointF underPointer = canvas().viewport().viewToImage(canvas().toViewPoint(pointer));
    Events::wheel(canvas(), pointer, {0, 4}, Qt::ControlModifier);
    EXPECT_EQ(label->text(), "120%");
    const QPointF after = canvas().viewport().viewToImage(canvas().toViewPoint(pointer));
    EXPECT_NEAR(after.x(), underPointer.x(), 1e-9);
    EXPECT_NEAR(after.y(), underPointer.y(), 1e-9);
    // Turning the wheel away from you moves the image down: y up, so the offset drops.
    click("zoom-reset");
    Events::wheel(canvas(), pointer, {0, 1});
    EXPECT_LT(canvas().panOffset().y(), 0);
    Events::wheel(canvas(), pointer, {100, 0});
    EXPECT_DOUBLE_EQ(canvas().panOffset().x(), canvas().viewport().baseDisplayRect().width());
    EXPECT_EQ(label->text(), "100%");
}

TEST_F(EditorTest, PaintsTheDocumentUprightAndTheSelectionHandles) {
    draw(Qt::Key_M, {20, 20}, {120, 80});
    QTest::keyClick(view, Qt::Key_V);
    clickAt({20, 50});
    const auto shownAt = [this](QPointF point) {
        return canvas().grab().toImage().pixelColor(
            Events::widgetPosition(canvas(), point).toPoint());
    };
    // The box's left edge near the bottom of the image is near the bottom of the view.
    EXPECT_EQ(shownAt({18, 50}), red);
    EXPECT_EQ(shownAt({70, 18}), red);
    EXPECT_EQ(shownAt({70, 50}), QColor(Qt::white));
    // The outline in the accent colour, and a white square handle on each corner.
    EXPECT_NE(shownAt({20, 50}), red);
    EXPECT_EQ(shownAt({120, 80}), QColor(Qt::white));
    EXPECT_EQ(shownAt({20, 20}), QColor(Qt::white));
    // Other tools hide the selection but keep it.
    QTest::keyClick(view, Qt::Key_A);
    EXPECT_EQ(shownAt({120, 80}), red);
    EXPECT_EQ(state().selectedIndex, 0);
}

TEST_F(EditorTest, ReturnCopiesAndSaveWritesAFileWithoutTheDraggedShape) {
    draw(Qt::Key_M, {10, 10}, {60, 60});
    QTest::keyClick(&canvas(), Qt::Key_Return);
    EXPECT_EQ(status(), AppLocale::text("Copied", "コピーしました"));
    // A shape still being dragged is not part of the saved image.
    Events::press(canvas(), {200, 200});
    Events::move(canvas(), {300, 280});
    click("save");
    Events::release(canvas(), {300, 280});
    EXPECT_EQ(status(), AppLocale::text("Saved: ", "保存: ") + "shot-annotated.png");
    EXPECT_TRUE(TestAnnotations::isColour(QImage(saved()), 10, 30, red));
    EXPECT_TRUE(TestAnnotations::isColour(QImage(saved()), 250, 240, Qt::white));
}
