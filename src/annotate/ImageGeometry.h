#pragma once

#include <QPointF>
#include <QRectF>

#include <cmath>

// Reading QRectF and QPointF in the editor's y-up space: (x, y) of a standardized
// rectangle is its bottom-left corner, so its top edge is maxY(). Qt's own
// top()/bottom() names assume y grows downward and are not used for geometry.
namespace ImageGeometry {

inline double minX(const QRectF& r) {
    return r.x();
}
inline double maxX(const QRectF& r) {
    return r.x() + r.width();
}
inline double minY(const QRectF& r) {
    return r.y();
}
inline double maxY(const QRectF& r) {
    return r.y() + r.height();
}

// Non-negative width and height, covering the same area.
inline QRectF standardized(const QRectF& r) {
    return r.normalized();
}

// The minimum edges belong to a rectangle, the maximum edges do not.
inline bool contains(const QRectF& r, QPointF p) {
    const QRectF s = standardized(r);
    return p.x() >= minX(s) && p.x() < maxX(s) && p.y() >= minY(s) && p.y() < maxY(s);
}

inline QRectF grown(const QRectF& r, double by) {
    return r.adjusted(-by, -by, by, by);
}

inline double length(QPointF v) {
    return std::hypot(v.x(), v.y());
}

// Counter-clockwise by `angle` radians about `centre`, in y-up space.
inline QPointF rotated(QPointF p, QPointF centre, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const QPointF d = p - centre;
    return centre + QPointF(c * d.x() - s * d.y(), s * d.x() + c * d.y());
}

} // namespace ImageGeometry
