#pragma once

#include <QPointF>
#include <QWidget>
#include <Qt>

class AnnotationCanvasView;

// Mouse and wheel events for the canvas at exact image points, sent through
// the application like the window system's own.
namespace CanvasEvents {

QPointF widgetPosition(const AnnotationCanvasView& canvas, QPointF imagePoint);

void press(AnnotationCanvasView& canvas, QPointF imagePoint,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void move(AnnotationCanvasView& canvas, QPointF imagePoint,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void release(AnnotationCanvasView& canvas, QPointF imagePoint,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Press, two moves and release.
void drag(AnnotationCanvasView& canvas, QPointF from, QPointF to,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A mouse wheel turned by `notches` (positive: away from the user).
void wheel(AnnotationCanvasView& canvas, QPointF widgetPosition, QPoint notches,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);

} // namespace CanvasEvents
