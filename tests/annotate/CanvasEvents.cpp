#include "CanvasEvents.h"

#include "AnnotationCanvasView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

namespace CanvasEvents {

namespace {

void send(AnnotationCanvasView& canvas, QEvent::Type type, QPointF imagePoint,
          Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    const QPointF local = widgetPosition(canvas, imagePoint);
    QMouseEvent event(type, local, canvas.mapToGlobal(local), button, buttons, modifiers);
    QApplication::sendEvent(&canvas, &event);
}

} // namespace

QPointF widgetPosition(const AnnotationCanvasView& canvas, QPointF imagePoint) {
    return canvas.toWidgetPosition(canvas.viewport().imageToView(imagePoint));
}

void press(AnnotationCanvasView& canvas, QPointF imagePoint, Qt::KeyboardModifiers modifiers) {
    send(canvas, QEvent::MouseButtonPress, imagePoint, Qt::LeftButton, Qt::LeftButton, modifiers);
}

void move(AnnotationCanvasView& canvas, QPointF imagePoint, Qt::KeyboardModifiers modifiers) {
    send(canvas, QEvent::MouseMove, imagePoint, Qt::NoButton, Qt::LeftButton, modifiers);
}

void release(AnnotationCanvasView& canvas, QPointF imagePoint, Qt::KeyboardModifiers modifiers) {
    send(canvas, QEvent::MouseButtonRelease, imagePoint, Qt::LeftButton, Qt::NoButton, modifiers);
}

void drag(AnnotationCanvasView& canvas, QPointF from, QPointF to, Qt::KeyboardModifiers modifiers) {
    press(canvas, from, modifiers);
    move(canvas, (from + to) / 2, modifiers);
    move(canvas, to, modifiers);
    release(canvas, to, modifiers);
}

void wheel(AnnotationCanvasView& canvas, QPointF widgetPosition, QPoint notches,
           Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(widgetPosition, canvas.mapToGlobal(widgetPosition), QPoint(), notches * 120,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &event);
}

} // namespace CanvasEvents
