#include "AnnotationView.h"

#include "AnnotateTestImages.h"
#include "AnnotationCanvasView.h"
#include "AnnotationToolbar.h"
#include "AnnotationWindowController.h"
#include "AppLocale.h"
#include "CanvasEvents.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using AnnotateTestImages::item;
using Kind = Annotation::Kind;
namespace Events = CanvasEvents;

namespace {

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        path_ = home_.file("Pictures/shot.png");
        AnnotateTestImages::filled(400, 300, Qt::white).save(path_);
        controller_.open(path_);
        view_ = controller_.window();
        view_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view_));
    }

    ~EditorTest() override {
        if (controller_.window())
            controller_.window()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <typename T = QToolButton>
    T* find(const char* name) const {
        T* widget = view_->findChild<T*>(name);
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    void click(const char* name) const {
        QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton);
    }

    // Draws a box with the rectangle tool, given in image points.
    void drawBox(const QRectF& box) const {
        QTest::keyClick(view_, Qt::Key_M);
        Events::drag(*view_->canvas(), box.topLeft(), box.bottomRight());
    }

    const AnnotationEditorState& state() const { return view_->state(); }
    QString status() const { return find<QLabel>("status")->text(); }

    SandboxHome home_;
    QString path_;
    AnnotationWindowController controller_;
    AnnotationView* view_ = nullptr;
};

} // namespace

TEST_F(EditorTest, OpensTitledAndSizedForTheActiveScreen) {
    EXPECT_EQ(view_->windowTitle(), AppLocale::text("Annotate — ", "注釈 — ") + "shot.png");
    EXPECT_EQ(view_->minimumSize(), QSize(560, 420));
    const QSize expected =
        AnnotationWindowController::contentSize(WindowPlacement::activeScreenVisibleFrame())
            .expandedTo(QSize(560, 420));
    EXPECT_EQ(view_->size(), expected);
    EXPECT_EQ(state().sourcePath, path_);
    EXPECT_EQ(state().tool, AnnotationTool::arrow);
}

TEST(AnnotationWindowController, ContentSizeFollowsTheScreen) {
    EXPECT_EQ(AnnotationWindowController::contentSize({0, 0, 1440, 875}), QSize(940, 660));
    EXPECT_EQ(AnnotationWindowController::contentSize({0, 0, 1000, 700}), QSize(880, 540));
    EXPECT_EQ(AnnotationWindowController::maximumContentSize({0, 0, 1440, 875}), QSize(1440, 835));
}

TEST(AnnotationWindowController, AnUnreadableFileOpensNothing) {
    SandboxHome home;
    TestFiles::write(home.file("broken.png"), "not an image");
    AnnotationWindowController controller;
    controller.open(home.file("broken.png"));
    controller.open(home.file("missing.png"));
    EXPECT_FALSE(controller.window());
}

TEST_F(EditorTest, EachCloseButtonClosesItsOwnWindow) {
    AnnotationView* first = view_;
    controller_.open(path_);
    AnnotationView* second = controller_.window();
    ASSERT_NE(first, second);
    QTest::mouseClick(first->findChild<QPushButton*>("close"), Qt::LeftButton);
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(controller_.window(), second);
    view_ = second;
}

TEST_F(EditorTest, TwoEditorsOnOneFileAreIndependent) {
    AnnotationView* first = view_;
    controller_.open(path_);
    view_ = controller_.window();
    drawBox({10, 10, 50, 50});
    EXPECT_EQ(view_->state().doc.items.size(), 1);
    EXPECT_TRUE(first->state().doc.items.isEmpty());
    first->close();
}

TEST_F(EditorTest, SingleKeysChooseToolsWithTheirHelpTexts) {
    QTest::keyClick(view_, Qt::Key_B);
    EXPECT_EQ(state().tool, AnnotationTool::blur);
    EXPECT_TRUE(find("blur-rect")->isVisible());
    QTest::keyClick(view_, Qt::Key_Backslash);
    EXPECT_EQ(state().tool, AnnotationTool::line);
    EXPECT_FALSE(find("blur-rect")->isVisible());
    EXPECT_TRUE(find("tool-line")->isChecked());
    const std::pair<Qt::Key, AnnotationTool> keys[] = {
        {Qt::Key_V, AnnotationTool::select}, {Qt::Key_C, AnnotationTool::crop},
        {Qt::Key_T, AnnotationTool::text},   {Qt::Key_A, AnnotationTool::arrow},
        {Qt::Key_M, AnnotationTool::rect},   {Qt::Key_L, AnnotationTool::ellipse}};
    for (const auto& [key, tool] : keys) {
        QTest::keyClick(view_, key);
        EXPECT_EQ(state().tool, tool);
    }
    if (!AppLocale::isJapanese()) {
        EXPECT_EQ(find("tool-line")->toolTip(), "Line (\\)");
        EXPECT_EQ(find("tool-crop")->toolTip(), "Crop (C)");
        EXPECT_EQ(find("tool-select")->toolTip(), "Select / Move (V)");
    }
}

TEST_F(EditorTest, ButtonsChooseToolsAndTheBlurShape) {
    click("tool-blur");
    click("tool-blur");
    EXPECT_TRUE(find("tool-blur")->isChecked());
    click("blur-ellipse");
    EXPECT_EQ(state().blurShape, Annotation::BlurShape::ellipse);
    Events::drag(*view_->canvas(), {20, 20}, {80, 60});
    ASSERT_EQ(state().doc.items.size(), 1);
    EXPECT_EQ(state().doc.items[0].blurShape, Annotation::BlurShape::ellipse);
    for (const char* name :
         {"tool-select", "tool-crop", "tool-text", "tool-line", "tool-arrow", "tool-rect",
          "tool-ellipse", "tool-blur", "delete", "zoom-out", "zoom-in", "undo", "redo", "color"})
        EXPECT_FALSE(find(name)->icon().isNull()) << name;
}

TEST_F(EditorTest, WhileTheTextFieldHasFocusLettersAreText) {
    QTest::keyClick(view_, Qt::Key_T);
    Events::press(*view_->canvas(), {40, 60});
    QLineEdit* field = view_->canvas()->textField();
    ASSERT_TRUE(field);
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClicks(field, "vcat\\mlb");
    EXPECT_EQ(field->text(), "vcat\\mlb");
    EXPECT_EQ(state().tool, AnnotationTool::text);
    // Return ends the field and does not copy.
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(state().doc.items.size(), 1);
    EXPECT_TRUE(status().isEmpty());
}

TEST_F(EditorTest, UndoAndRedoKeysReachTheEditorsStacks) {
    EXPECT_FALSE(find("undo")->isEnabled());
    EXPECT_FALSE(find("redo")->isEnabled());
    EXPECT_FALSE(find("delete")->isEnabled());
    drawBox({10, 10, 50, 50});
    drawBox({100, 100, 50, 50});
    EXPECT_TRUE(find("undo")->isEnabled());
    QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state().doc.items.isEmpty());
    EXPECT_FALSE(find("undo")->isEnabled());
    // Nothing to undo: the key does nothing.
    QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(state().doc.items.size(), 1);
    EXPECT_TRUE(find("redo")->isEnabled());
    click("redo");
    EXPECT_EQ(state().doc.items.size(), 2);
    EXPECT_FALSE(find("redo")->isEnabled());
}

TEST_F(EditorTest, SelectingAndReleasingAddsOneUndoStepOfTheSameDocument) {
    drawBox({100, 100, 80, 60});
    QTest::keyClick(view_, Qt::Key_V);
    const AnnotationDoc before = state().doc;
    Events::press(*view_->canvas(), {100, 130});
    Events::release(*view_->canvas(), {100, 130});
    EXPECT_EQ(state().selectedIndex, 0);
    EXPECT_EQ(state().undoStack.size(), 2);
    EXPECT_EQ(state().undoStack.last(), before);
    EXPECT_EQ(state().doc, before);
    EXPECT_TRUE(find("delete")->isEnabled());
}

TEST_F(EditorTest, AMoveIsUndoneInOneStep) {
    drawBox({100, 100, 80, 60});
    QTest::keyClick(view_, Qt::Key_V);
    Events::drag(*view_->canvas(), {100, 130}, {140, 150});
    EXPECT_EQ(state().doc.items[0].rect, QRectF(140, 120, 80, 60));
    click("undo");
    EXPECT_EQ(state().doc.items[0].rect, QRectF(100, 100, 80, 60));
}

TEST_F(EditorTest, DeleteRemovesTheSelectionEvenUnderADrawingTool) {
    drawBox({100, 100, 80, 60});
    QTest::keyClick(view_, Qt::Key_V);
    Events::press(*view_->canvas(), {100, 130});
    Events::release(*view_->canvas(), {100, 130});
    QTest::keyClick(view_, Qt::Key_A);
    QTest::keyClick(view_->canvas(), Qt::Key_Delete);
    EXPECT_TRUE(state().doc.items.isEmpty());
    EXPECT_FALSE(state().selectedIndex);
    EXPECT_FALSE(find("delete")->isEnabled());
}

TEST_F(EditorTest, ColourAndWidthApplyToTheSelectedItem) {
    drawBox({100, 100, 80, 60});
    QTest::keyClick(view_, Qt::Key_V);
    Events::press(*view_->canvas(), {100, 130});
    Events::release(*view_->canvas(), {100, 130});
    const qsizetype steps = state().undoStack.size();
    click("color");
    auto* dialog = view_->findChild<QColorDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    dialog->setCurrentColor(QColor(0, 128, 0, 100));
    dialog->accept();
    EXPECT_EQ(state().doc.items[0].color, QColor(0, 128, 0, 100));
    find<QSlider>("line-width")->setValue(115);
    EXPECT_DOUBLE_EQ(state().doc.items[0].lineWidth, 11.5);
    EXPECT_DOUBLE_EQ(state().lineWidth, 11.5);
    EXPECT_EQ(state().undoStack.size(), steps);
}

TEST_F(EditorTest, ZoomButtonsStepByAQuarterWithinLimits) {
    QToolButton* label = find("zoom-reset");
    EXPECT_EQ(label->text(), "100%");
    click("zoom-in");
    EXPECT_EQ(label->text(), "125%");
    EXPECT_DOUBLE_EQ(view_->canvas()->zoom(), 1.25);
    click("zoom-reset");
    click("zoom-out");
    EXPECT_EQ(label->text(), "80%");
    for (int i = 0; i < 20; ++i)
        click("zoom-out");
    EXPECT_EQ(label->text(), "20%");
    for (int i = 0; i < 30; ++i)
        click("zoom-in");
    EXPECT_EQ(label->text(), "800%");
    Events::wheel(*view_->canvas(), {200, 150}, {0, -4}, Qt::ControlModifier);
    EXPECT_EQ(label->text(), "640%");
}

TEST_F(EditorTest, ReturnCopiesAndSaveWritesAFileWithoutTheDraggedShape) {
    drawBox({10, 10, 50, 50});
    QTest::keyClick(view_->canvas(), Qt::Key_Return);
    EXPECT_EQ(status(), AppLocale::text("Copied", "コピーしました"));
    // A shape still being dragged is not part of the saved image.
    Events::press(*view_->canvas(), {200, 200});
    Events::move(*view_->canvas(), {300, 280});
    click("save");
    Events::release(*view_->canvas(), {300, 280});
    EXPECT_EQ(status(), AppLocale::text("Saved: ", "保存: ") + "shot-annotated.png");
    const QImage saved(home_.file(".glimvault/captures/shot-annotated.png"));
    ASSERT_FALSE(saved.isNull());
    EXPECT_TRUE(AnnotateTestImages::isColour(saved, 10, 30, QColor(255, 59, 48)));
    EXPECT_TRUE(AnnotateTestImages::isColour(saved, 250, 240, Qt::white));
}

TEST_F(EditorTest, ACropChangesWhatIsShownAndSaved) {
    QTest::keyClick(view_, Qt::Key_C);
    Events::drag(*view_->canvas(), {100, 100}, {300, 200});
    EXPECT_EQ(state().doc.crop, QRectF(100, 100, 200, 100));
    click("save");
    EXPECT_EQ(QImage(home_.file(".glimvault/captures/shot-annotated.png")).size(), QSize(200, 100));
}
