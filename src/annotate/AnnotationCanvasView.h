#pragma once

#include "AnnotationDoc.h"
#include "AnnotationTool.h"
#include "CanvasViewport.h"
#include "TextEntryField.h"

#include <QPointer>
#include <QWidget>

#include <optional>

// The editing surface: shows the rendered document fitted into the view, zooms
// and pans, draws new items, places text through a temporary field and selects,
// moves, resizes, rotates and deletes items. It owns no document: the editor
// hands it a copy after every change and hears of every edit through signals.
// Geometry is worked out in y-up view points; Qt's positions are turned around
// once, as they arrive and when painting.
class AnnotationCanvasView : public QWidget {
    Q_OBJECT
public:
    enum class DragMode { none, whole, start, end, resize, rotate };

    explicit AnnotationCanvasView(QWidget* parent = nullptr);

    void setDocument(const AnnotationDoc& doc);
    void setTool(AnnotationTool tool);
    void setStrokeColor(const QColor& color);
    void setStrokeWidth(double width);
    void setBlurShape(Annotation::BlurShape shape);
    void setSelectedIndex(std::optional<int> index);
    // Zooms so that the image point stays under the view point.
    void setZoom(double zoom, QPointF imagePoint, QPointF viewPoint);
    // Zooms keeping the image point under the middle of the view where it is.
    void setZoomAboutCentre(double zoom);

    const AnnotationDoc& document() const { return doc_; }
    AnnotationTool tool() const { return tool_; }
    std::optional<int> selectedIndex() const { return selectedIndex_; }
    double zoom() const { return zoom_; }
    QPointF panOffset() const { return panOffset_; }
    DragMode dragMode() const { return dragMode_; }
    const std::optional<Annotation>& draft() const { return draft_; }
    TextEntryField* textField() const { return textField_; }
    CanvasViewport viewport() const;

    // Between Qt's widget positions (y down) and view points (y up).
    QPointF toViewPoint(QPointF widgetPosition) const;
    QPointF toWidgetPosition(QPointF viewPoint) const;

    // Finishes an open text field: a non-empty text becomes an item.
    void commitText();

signals:
    void committed(const Annotation& item);
    void cropped(const QRectF& crop);
    void itemsReplaced(const QList<Annotation>& items);
    void snapshotRequested();
    void zoomChanged(double zoom);
    void selectionChanged(std::optional<int> index);
    void deleteRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::optional<int> validSelection() const;
    Annotation makeAnnotation(QPointF from, QPointF to) const;
    QPointF constrained(QPointF start, QPointF end, bool shift) const;
    void pressWithSelectTool(QPointF viewPoint, QPointF imagePoint);
    bool grabRotationHandle(QPointF viewPoint, QPointF imagePoint);
    void dragSelected(QPointF viewPoint, QPointF imagePoint);
    QRectF draggedRect(const Annotation& item, QPointF imagePoint) const;
    void finishDrawing(QPointF imagePoint, bool shift);
    void beginText(QPointF viewPoint);
    void discardText();
    void removeTextField();
    void applyViewport(const CanvasViewport& viewport);

    AnnotationDoc doc_;
    AnnotationTool tool_ = AnnotationTool::select;
    QColor strokeColor_ = QColor(255, 59, 48);
    double strokeWidth_ = 3;
    Annotation::BlurShape blurShape_ = Annotation::BlurShape::rect;
    double zoom_ = 1.0;
    QPointF panOffset_;
    std::optional<QPointF> dragStart_;
    std::optional<Annotation> draft_;
    std::optional<int> selectedIndex_;
    DragMode dragMode_ = DragMode::none;
    std::optional<QPointF> moveStartImg_;
    std::optional<QRectF> moveOriginalRect_;
    std::optional<QPointF> resizeFixedCorner_;
    double rotateStartAngle_ = 0;
    double rotateOrigRotation_ = 0;
    QPointer<TextEntryField> textField_;
    std::optional<QPointF> textOrigin_;
};
