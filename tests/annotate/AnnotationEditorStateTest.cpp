#include "AnnotationEditorState.h"

#include "AnnotateTestImages.h"

#include <gtest/gtest.h>

using AnnotateTestImages::item;
using Kind = Annotation::Kind;

namespace {

AnnotationEditorState editor() {
    AnnotationEditorState state;
    state.doc.source = AnnotateTestImages::filled(100, 80, Qt::white);
    state.sourcePath = "/shots/shot.png";
    return state;
}

const Annotation first = item(Kind::rect, {10, 10, 20, 20});
const Annotation second = item(Kind::arrow, {0, 0, 30, 40});

} // namespace

TEST(AnnotationEditorState, StartsWithTheDefaults) {
    const AnnotationEditorState state;
    EXPECT_EQ(state.tool, AnnotationTool::arrow);
    EXPECT_EQ(state.color, QColor(255, 59, 48));
    EXPECT_EQ(state.lineWidth, 7);
    EXPECT_EQ(state.blurShape, Annotation::BlurShape::rect);
    EXPECT_EQ(state.zoom, 1.0);
    EXPECT_FALSE(state.selectedIndex);
}

TEST(AnnotationEditorState, UndoAndRedoWithEmptyStacksChangeNothing) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.undoStack.clear();
    state.undo();
    EXPECT_EQ(state.doc.items.size(), 1);
    state.redo();
    EXPECT_EQ(state.doc.items.size(), 1);
    EXPECT_TRUE(state.undoStack.isEmpty());
    EXPECT_TRUE(state.redoStack.isEmpty());
}

TEST(AnnotationEditorState, UndoTwiceRedoOnceThenANewItemEmptiesRedo) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.commitItem(second);
    state.undo();
    state.undo();
    EXPECT_TRUE(state.doc.items.isEmpty());
    state.redo();
    ASSERT_EQ(state.doc.items.size(), 1);
    EXPECT_EQ(state.doc.items[0], first);
    EXPECT_EQ(state.redoStack.size(), 1);
    state.commitItem(second);
    EXPECT_TRUE(state.redoStack.isEmpty());
    EXPECT_EQ(state.undoStack.size(), 2);
}

TEST(AnnotationEditorState, UndoLeavesToolColourWidthZoomAndSelectionAlone) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.tool = AnnotationTool::blur;
    state.lineWidth = 3;
    state.zoom = 2;
    state.selectedIndex = 0;
    state.undo();
    EXPECT_EQ(state.tool, AnnotationTool::blur);
    EXPECT_EQ(state.lineWidth, 3);
    EXPECT_EQ(state.zoom, 2);
    // The selection now points past the end and counts as none.
    EXPECT_EQ(state.selectedIndex, 0);
    EXPECT_FALSE(state.validSelection());
}

TEST(AnnotationEditorState, ColourAndWidthRecolourTheSelectionWithoutAnUndoStep) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.commitItem(second);
    state.selectedIndex = 0;
    state.tool = AnnotationTool::ellipse; // the selection survives a change of tool
    state.setColor(Qt::blue);
    state.setLineWidth(11);
    EXPECT_EQ(state.doc.items[0].color, QColor(Qt::blue));
    EXPECT_EQ(state.doc.items[0].lineWidth, 11);
    EXPECT_EQ(state.doc.items[1].color, QColor(Qt::black));
    EXPECT_EQ(state.color, QColor(Qt::blue));
    EXPECT_EQ(state.undoStack.size(), 2);
    // They join the state that the next undo leaves: undoing the second item undoes them too.
    state.undo();
    EXPECT_EQ(state.doc.items[0].color, QColor(Qt::black));
}

TEST(AnnotationEditorState, ColourChangeWithStaleSelectionTouchesNoItem) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.selectedIndex = 3;
    state.setColor(Qt::green);
    EXPECT_EQ(state.doc.items[0].color, QColor(Qt::black));
    EXPECT_EQ(state.color, QColor(Qt::green));
}

TEST(AnnotationEditorState, DeleteNeedsASelectionInRange) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.commitItem(second);
    state.deleteSelected();
    state.selectedIndex = 2;
    state.deleteSelected();
    EXPECT_EQ(state.doc.items.size(), 2);
    EXPECT_EQ(state.undoStack.size(), 2);

    state.selectedIndex = 0;
    state.deleteSelected();
    ASSERT_EQ(state.doc.items.size(), 1);
    EXPECT_EQ(state.doc.items[0], second);
    EXPECT_FALSE(state.selectedIndex);
    state.undo();
    EXPECT_EQ(state.doc.items.size(), 2);
}

TEST(AnnotationEditorState, ASecondCropReplacesTheFirstAndUndoRestoresIt) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.setCrop({5, 5, 50, 40});
    state.setCrop({20, 10, 30, 30});
    EXPECT_EQ(state.doc.crop, QRectF(20, 10, 30, 30));
    EXPECT_EQ(state.doc.visibleRect(), QRectF(20, 10, 30, 30));
    // Items keep their absolute coordinates.
    EXPECT_EQ(state.doc.items[0].rect, first.rect);
    state.undo();
    EXPECT_EQ(state.doc.crop, QRectF(5, 5, 50, 40));
    state.undo();
    EXPECT_FALSE(state.doc.crop);
    EXPECT_EQ(state.doc.visibleRect(), QRectF(0, 0, 100, 80));
}

TEST(AnnotationEditorState, ReplacingItemsDuringADragTakesNoSnapshot) {
    AnnotationEditorState state = editor();
    state.commitItem(first);
    state.snapshot(); // the press that began the drag
    Annotation moved = first;
    moved.rect.translate(5, 5);
    state.replaceItems({moved});
    state.replaceItems({moved, second});
    EXPECT_EQ(state.undoStack.size(), 2);
    state.undo();
    EXPECT_EQ(state.doc.items, QList<Annotation>{first});
}
