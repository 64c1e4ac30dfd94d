#include "SelectionPainter.h"

#include "AnnotationHitTest.h"
#include "ImageGeometry.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace SelectionPainter {

namespace {

QRectF handleRect(QPointF centre) {
    return QRectF(centre - QPointF(handleSize / 2, handleSize / 2), QSizeF(handleSize, handleSize));
}

void roundHandle(QPainter& painter, QPointF centre, const QColor& accent) {
    painter.setPen(QPen(accent, 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(handleRect(centre));
}

void squareHandle(QPainter& painter, QPointF centre, const QColor& accent) {
    painter.setPen(QPen(accent, 2));
    painter.setBrush(Qt::white);
    painter.drawRect(handleRect(centre));
}

// Bottom-left, bottom-right, top-right, top-left, turned with the item, in view points.
std::array<QPointF, 4> outlineCorners(const Annotation& item, const CanvasViewport& viewport) {
    using namespace ImageGeometry;
    const QRectF box = AnnotationHitTest::outlineBox(item);
    const QPointF centre = standardized(item.rect).center();
    std::array<QPointF, 4> corners{QPointF(minX(box), minY(box)), QPointF(maxX(box), minY(box)),
                                   QPointF(maxX(box), maxY(box)), QPointF(minX(box), maxY(box))};
    for (QPointF& corner : corners)
        corner = viewport.imageToView(rotated(corner, centre, item.rotation));
    return corners;
}

void drawBoxSelection(QPainter& painter, const Annotation& item, const CanvasViewport& viewport,
                      const QColor& accent) {
    const std::array<QPointF, 4> corners = outlineCorners(item, viewport);
    QPen dashed(accent, 1.5);
    dashed.setDashPattern({5 / 1.5, 3 / 1.5});
    dashed.setDashOffset(0);
    painter.setPen(dashed);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(QPolygonF({corners[0], corners[1], corners[2], corners[3]}));
    if (item.rotation == 0) {
        for (QPointF corner : corners)
            squareHandle(painter, corner, accent);
    }
    const QPointF topMiddle = (corners[2] + corners[3]) / 2;
    const QPointF handle = AnnotationHitTest::rotationHandle(item, viewport);
    painter.setPen(QPen(accent, 1));
    painter.drawLine(topMiddle, handle);
    roundHandle(painter, handle, accent);
}

} // namespace

void draw(QPainter& painter, const Annotation& item, const CanvasViewport& viewport,
          const QColor& accent) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (item.isSegment()) {
        roundHandle(painter, viewport.imageToView(item.start()), accent);
        roundHandle(painter, viewport.imageToView(item.end()), accent);
    } else {
        drawBoxSelection(painter, item, viewport, accent);
    }
    painter.restore();
}

} // namespace SelectionPainter
