#pragma once

#include "AnnotationCanvasView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

// Mouse and wheel events for the canvas at exact image points, sent through
// the application like the window system's own.
namespace CanvasEvents {

inline QPointF widgetPosition(const AnnotationCanvasView& canvas, QPointF imagePoint) {
    return canvas.toWidgetPosition(canvas.viewport().imageToView(imagePoint));
}

// A press, move or release of the left button.
inline void mouse(AnnotationCanvasView& canvas, QEvent::Type type, QPointF imagePoint,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF local = widgetPosition(canvas, imagePoint);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, canvas.mapToGlobal(local), button, held, modifiers);
    QApplication::sendEvent(&canvas, &event);
}

inline void press(AnnotationCanvasView& canvas, QPointF imagePoint) {
    mouse(canvas, QEvent::MouseButtonPress, imagePoint);
}

inline void move(AnnotationCanvasView& canvas, QPointF imagePoint) {
    mouse(canvas, QEvent::MouseMove, imagePoint);
}

inline void release(AnnotationCanvasView& canvas, QPointF imagePoint) {
    mouse(canvas, QEvent::MouseButtonRelease, imagePoint);
}

// Press, two moves and release.
inline void drag(AnnotationCanvasView& canvas, QPointF from, QPointF to,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (const auto& [type, point] : {std::pair{QEvent::MouseButtonPress, from},
                                      {QEvent::MouseMove, (from + to) / 2},
                                      {QEvent::MouseMove, to},
                                      {QEvent::MouseButtonRelease, to}})
        mouse(canvas, type, point, modifiers);
}

// A mouse wheel turned by `notches` (positive: away from the user).
inline void wheel(AnnotationCanvasView& canvas, QPointF widgetPosition, QPoint notches,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(widgetPosition, canvas.mapToGlobal(widgetPosition), QPoint(), notches * 120,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &event);
}

} // namespace CanvasEvents
