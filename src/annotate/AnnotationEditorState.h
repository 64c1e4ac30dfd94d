#pragma once

#include "AnnotationDoc.h"
#include "AnnotationTool.h"

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

// Everything one editor window edits, with whole-document undo: every change
// that can be undone first pushes the current document.
struct AnnotationEditorState {
    AnnotationDoc doc;
    QString sourcePath;
    AnnotationTool tool = AnnotationTool::arrow;
    QColor color = QColor(255, 59, 48);
    double lineWidth = 7;
    Annotation::BlurShape blurShape = Annotation::BlurShape::rect;
    double zoom = 1.0;
    QList<AnnotationDoc> undoStack;
    QList<AnnotationDoc> redoStack;
    // Not kept in step with the item list: read it through validSelection().
    std::optional<int> selectedIndex;
    QString statusText;

    // The selection when it still names an item.
    std::optional<int> validSelection() const;

    void snapshot();
    void undo();
    void redo();
    void deleteSelected();
    void commitItem(const Annotation& item);
    void setCrop(const QRectF& crop);
    // A drag in progress; its snapshot was taken when it began.
    void replaceItems(const QList<Annotation>& items);
    // Toolbar changes also apply to the selected item, without an undo step of their own.
    void setColor(const QColor& newColor);
    void setLineWidth(double width);
};
