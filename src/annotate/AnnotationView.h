#pragma once

#include "AnnotationEditorState.h"

#include <QImage>
#include <QWidget>

class AnnotationCanvasView;
class AnnotationToolbar;
class QLabel;
class QPushButton;

// One editor window's content and state: the toolbar, the canvas and the row
// with the status line, Save, Annotate & Copy and Close. Every change goes
// through the editor state and is then shown by the toolbar and the canvas.
class AnnotationView : public QWidget {
    Q_OBJECT
public:
    AnnotationView(const QImage& image, const QString& sourcePath, QWidget* parent = nullptr);

    const AnnotationEditorState& state() const { return state_; }
    AnnotationCanvasView* canvas() const { return canvas_; }
    AnnotationToolbar* toolbar() const { return toolbar_; }

    void undo();
    void redo();
    void deleteSelected();
    void save();
    void copyAnnotated();
    void chooseTool(AnnotationTool tool);
    void chooseColor(const QColor& color);
    void chooseLineWidth(double width);
    void setZoom(double zoom);

protected:
    // Return copies, as the window's default button does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* makeBottomRow();
    void connectCanvas();
    void connectToolbar();
    void refresh();

    AnnotationEditorState state_;
    AnnotationToolbar* toolbar_ = nullptr;
    AnnotationCanvasView* canvas_ = nullptr;
    QLabel* status_ = nullptr;
};
