#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// How the canvas shows the document: the visible rectangle fitted into the
// view's bounds, then zoomed about and shifted from the fitted centre. View
// points have their origin at the view's bottom-left corner with y up, like
// image points.
struct CanvasViewport {
    QSizeF bounds;
    // The document's visible rectangle, in image points.
    QRectF visible;
    double zoom = 1.0;
    // Shift of the image's centre from the fitted centre, in view points.
    QPointF panOffset;

    static constexpr double minZoom = 0.2;
    static constexpr double maxZoom = 8.0;

    // The visible rectangle fitted and centred in the bounds (a small image is enlarged).
    QRectF baseDisplayRect() const;
    // Where the image is shown: the fitted rectangle zoomed and panned.
    QRectF displayRect() const;
    // Image points per view point.
    double displayScale() const;

    QPointF viewToImage(QPointF viewPoint) const;
    QPointF imageToView(QPointF imagePoint) const;

    // Zooms (kept within 0.2 to 8, snapped to 1 close to it) so that the image
    // point stays under the view point.
    void setZoom(double newZoom, QPointF imagePoint, QPointF viewPoint);
    // Keeps at least part of the image within reach.
    void clampPan();
};
