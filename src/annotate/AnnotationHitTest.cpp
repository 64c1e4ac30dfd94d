#include "AnnotationHitTest.h"

#include "ImageGeometry.h"

#include <QPointF>

#include <algorithm>
#include <array>
#include <cmath>

namespace AnnotationHitTest {

namespace {

double segmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    if (lengthSquared == 0)
        return ImageGeometry::length(p - a);
    const double u = std::clamp(QPointF::dotProduct(p - a, ab) / lengthSquared, 0.0, 1.0);
    return ImageGeometry::length(p - (a + u * ab));
}

bool hits(const Annotation& item, QPointF p, double t) {
    if (item.isSegment())
        return segmentDistance(p, item.start(), item.end()) < t;
    const QPointF centre = ImageGeometry::standardized(item.rect).center();
    const QPointF q = item.rotation != 0 ? ImageGeometry::rotated(p, centre, -item.rotation) : p;
    return ImageGeometry::contains(ImageGeometry::grown(outlineBox(item), t), q);
}

} // namespace

std::optional<int> itemAt(const QList<Annotation>& items, QPointF p,
                          const CanvasViewport& viewport) {
    const double base =
        viewport.displayRect().width() > 0 ? viewport.displayScale() * tolerance : tolerance;
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (hits(items[i], p, base + items[i].lineWidth))
            return int(i);
    }
    return std::nullopt;
}

std::optional<SegmentEnd> endpointAt(const Annotation& item, QPointF p, double radius) {
    if (!item.isSegment())
        return std::nullopt;
    if (ImageGeometry::length(p - item.start()) < radius)
        return SegmentEnd::start;
    if (ImageGeometry::length(p - item.end()) < radius)
        return SegmentEnd::end;
    return std::nullopt;
}

std::optional<QPointF> cornerFixedPoint(const Annotation& item, QPointF p, double radius) {
    if (!item.isBox() || item.rotation != 0)
        return std::nullopt;
    using namespace ImageGeometry;
    const QRectF r = standardized(item.rect);
    const std::array<QPointF, 4> corners{QPointF(minX(r), minY(r)), QPointF(maxX(r), minY(r)),
                                         QPointF(minX(r), maxY(r)), QPointF(maxX(r), maxY(r))};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        if (length(p - corners[i]) < radius) {
            if (item.kind == Annotation::Kind::text)
                return item.rect.topLeft();
            return corners[corners.size() - 1 - i];
        }
    }
    return std::nullopt;
}

QRectF outlineBox(const Annotation& item) {
    if (item.kind != Annotation::Kind::text || item.rect.height() > 1)
        return ImageGeometry::standardized(item.rect);
    const double size = Annotation::defaultTextSize(item.lineWidth);
    const qsizetype characters = item.text ? std::max<qsizetype>(item.text->size(), 1) : 1;
    return QRectF(item.rect.x(), item.rect.y(), std::max(size * characters * 0.6, 24.0), size);
}

QPointF rotationHandle(const Annotation& item, const CanvasViewport& viewport) {
    const QRectF r = ImageGeometry::standardized(item.rect);
    const QPointF centre = viewport.imageToView(r.center());
    const double distance = r.height() / std::max(viewport.displayScale(), 0.0001) * 0.5 + 26;
    return centre +
           QPointF(-std::sin(item.rotation) * distance, std::cos(item.rotation) * distance);
}

} // namespace AnnotationHitTest
