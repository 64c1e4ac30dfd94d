#include "AnnotationEditorState.h"

std::optional<int> AnnotationEditorState::validSelection() const {
    if (selectedIndex && *selectedIndex >= 0 && *selectedIndex < doc.items.size())
        return selectedIndex;
    return std::nullopt;
}

void AnnotationEditorState::snapshot() {
    undoStack.append(doc);
    redoStack.clear();
}

void AnnotationEditorState::undo() {
    if (undoStack.isEmpty())
        return;
    redoStack.append(doc);
    doc = undoStack.takeLast();
}

void AnnotationEditorState::redo() {
    if (redoStack.isEmpty())
        return;
    undoStack.append(doc);
    doc = redoStack.takeLast();
}

void AnnotationEditorState::deleteSelected() {
    const std::optional<int> index = validSelection();
    if (!index)
        return;
    snapshot();
    doc.items.removeAt(*index);
    selectedIndex.reset();
}

void AnnotationEditorState::commitItem(const Annotation& item) {
    snapshot();
    doc.items.append(item);
}

void AnnotationEditorState::setCrop(const QRectF& crop) {
    snapshot();
    doc.crop = crop;
}

void AnnotationEditorState::replaceItems(const QList<Annotation>& items) {
    doc.items = items;
}

void AnnotationEditorState::setColor(const QColor& newColor) {
    color = newColor;
    if (const std::optional<int> index = validSelection())
        doc.items[*index].color = newColor;
}

void AnnotationEditorState::setLineWidth(double width) {
    lineWidth = width;
    if (const std::optional<int> index = validSelection())
        doc.items[*index].lineWidth = width;
}
