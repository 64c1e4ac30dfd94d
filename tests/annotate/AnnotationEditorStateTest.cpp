#include "AnnotationEditorState.h"

#include "TestAnnotations.h"

#include <gtest/gtest.h>

using Kind = Annotation::Kind;

namespace {

const Annotation first = TestAnnotations::item(Kind::rect, {10, 10, 20, 20});
const Annotation second = TestAnnotations::item(Kind::arrow, {0, 0, 30, 40});

AnnotationEditorState withItems(const QList<Annotation>& items) {
    AnnotationEditorState state;
    state.doc = TestAnnotations::onWhite(100, 80);
    for (const Annotation& item : items)
        state.commitItem(item);
    return state;
}

} // namespace

TEST(AnnotationEditorState, UndoAndRedoRestoreTheDocumentAndNothingElse) {
    AnnotationEditorState state = withItems({});
    state.undo();
    state.redo();
    EXPECT_TRUE(state.undoStack.isEmpty() && state.redoStack.isEmpty());
    state.commitItem(first);
    state.commitItem(second);
    state.tool = AnnotationTool::blur;
    state.lineWidth = 3;
    state.zoom = 2;
    state.selectedIndex = 1;
    state.undo();
    state.undo();
    EXPECT_TRUE(state.doc.items.isEmpty());
    EXPECT_EQ(state.tool, AnnotationTool::blur);
    EXPECT_EQ(state.lineWidth, 3);
    EXPECT_EQ(state.zoom, 2);
    // The selection now points past the end and counts as none.
    EXPECT_EQ(state.selectedIndex, 1);
    EXPECT_FALSE(state.validSelection());
    state.redo();
    EXPECT_EQ(state.doc.items, QList<Annotation>{first});
    EXPECT_EQ(state.redoStack.size(), 1);
    state.commitItem(second);
    EXPECT_TRUE(state.redoStack.isEmpty());
    EXPECT_EQ(state.undoStack.size(), 2);
}

TEST(AnnotationEditorState, ColourAndWidthRecolourOnlyAValidSelectionWithoutAnUndoStep) {
    AnnotationEditorState state = withItems({first, second});
    state.selectedIndex = 3;
    state.setColor(Qt::green);
    EXPECT_EQ(state.doc.items[0].color, QColor(Qt::black));
    EXPECT_EQ(state.color, QColor(Qt::green));
    state.selectedIndex = 0;
    state.setColor(Qt::blue);
    state.setLineWidth(11);
    EXPECT_EQ(state.doc.items[0].color, QColor(Qt::blue));
    EXPECT_EQ(state.doc.items[0].lineWidth, 11);
    EXPECT_EQ(state.doc.items[1].color, QColor(Qt::black));
    EXPECT_EQ(state.undoStack.size(), 2);
    // They join the state that the next undo leaves: undoing the second item undoes them too.
    state.undo();
    EXPECT_EQ(state.doc.items[0].color, QColor(Qt::black));
}

TEST(AnnotationEditorState, DeleteNeedsASelectionInRange) {
    AnnotationEditorState state = withItems({first, second});
    state.deleteSelected();
    state.selectedIndex = 2;
    state.deleteSelected();
    EXPECT_EQ(state.doc.items.size(), 2);
    EXPECT_EQ(state.undoStack.size(), 2);
    state.selectedIndex = 0;
    state.deleteSelected();
    EXPECT_EQ(state.doc.items, QList<Annotation>{second});
    EXPECT_FALSE(state.selectedIndex);
    state.undo();
    EXPECT_EQ(state.doc.items.size(), 2);
}

TEST(AnnotationEditorState, ASecondCropReplacesTheFirstAndUndoRestoresIt) {
    AnnotationEditorState state = withItems({first});
    state.setCrop({5, 5, 50, 40});
    state.setCrop({20, 10, 30, 30});
    EXPECT_EQ(state.doc.visibleRect(), QRectF(20, 10, 30, 30));
    EXPECT_EQ(state.doc.items[0].rect, first.rect) << "items keep their absolute coordinates";
    state.undo();
    EXPECT_EQ(state.doc.crop, QRectF(5, 5, 50, 40));
    state.undo();
    EXPECT_FALSE(state.doc.crop);
    EXPECT_EQ(state.doc.visibleRect(), QRectF(0, 0, 100, 80));
}
