#pragma once

#include "Annotation.h"
#include "CanvasViewport.h"

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

// Which item, end point, corner or handle lies under the pointer. Points are
// image points unless a name says otherwise; tolerances are fixed in view
// points so they keep their size on screen at any zoom.
namespace AnnotationHitTest {

inline constexpr double tolerance = 8;     // view points around an item
inline constexpr double handleRadius = 12; // view points around a handle

enum class SegmentEnd { start, end };

// The top-most item at `p`, if any.
std::optional<int> itemAt(const QList<Annotation>& items, QPointF p,
                          const CanvasViewport& viewport);

// The end of a line or arrow within `radius` of `p`, the start first.
std::optional<SegmentEnd> endpointAt(const Annotation& item, QPointF p, double radius);

// For an unrotated box item with a corner within `radius` of `p`: the point that
// stays put while that corner is dragged.
std::optional<QPointF> cornerFixedPoint(const Annotation& item, QPointF p, double radius);

// The box a selection outlines: the standardized rect, or for a text item
// without a size the box its fallback size gives.
QRectF outlineBox(const Annotation& item);

// The rotation handle of a box item, in view points: above the middle of the
// top edge, turning with the item.
QPointF rotationHandle(const Annotation& item, const CanvasViewport& viewport);

} // namespace AnnotationHitTest
