#include "CanvasViewport.h"

#include <algorithm>
#include <cmath>

QRectF CanvasViewport::baseDisplayRect() const {
    if (visible.width() <= 0 || visible.height() <= 0)
        return {};
    const double fit =
        std::min(bounds.width() / visible.width(), bounds.height() / visible.height());
    const QSizeF size = visible.size() * fit;
    return QRectF(
        QPointF((bounds.width() - size.width()) / 2, (bounds.height() - size.height()) / 2), size);
}

QRectF CanvasViewport::displayRect() const {
    const QRectF base = baseDisplayRect();
    const QSizeF size = base.size() * zoom;
    const QPointF centre = base.center() + panOffset;
    return QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size);
}

double CanvasViewport::displayScale() const {
    const QRectF d = displayRect();
    return d.width() > 0 ? visible.width() / d.width() : 1;
}

QPointF CanvasViewport::viewToImage(QPointF p) const {
    const QRectF d = displayRect();
    const double scale = displayScale();
    return QPointF((p.x() - d.x()) * scale + visible.x(), (p.y() - d.y()) * scale + visible.y());
}

QPointF CanvasViewport::imageToView(QPointF q) const {
    const QRectF d = displayRect();
    const double scale = displayScale();
    return QPointF((q.x() - visible.x()) / scale + d.x(), (q.y() - visible.y()) / scale + d.y());
}

void CanvasViewport::setZoom(double newZoom, QPointF imagePoint, QPointF viewPoint) {
    zoom = std::min(std::max(newZoom, minZoom), maxZoom);
    if (std::abs(zoom - 1) < 0.01) {
        zoom = 1;
        panOffset = QPointF(0, 0);
        return;
    }
    panOffset += viewPoint - imageToView(imagePoint);
    clampPan();
}

void CanvasViewport::clampPan() {
    const QSizeF base = baseDisplayRect().size();
    const auto limit = [this](double side) { return (side + std::max(side * zoom, 0.0)) / 2; };
    const double lx = limit(base.width());
    const double ly = limit(base.height());
    panOffset = QPointF(std::clamp(panOffset.x(), -lx, lx), std::clamp(panOffset.y(), -ly, ly));
}
