#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <optional>

class ScrollControls;

// What a scrolling capture needs of the desktop, in the grab's pixels: the
// region's picture, wheel steps and the pointer for Auto-scroll, Return and
// Escape where the desktop lets a program take them, and a frame round the
// region with the bar beside it. X11 and Wayland each give these their own way.
class ScrollDisplay : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The newest picture of `native`, as RGB32; null while there is none yet.
    // A display that can no longer give pictures says so with failed().
    virtual QImage grab(const QRect& native) = 0;

    // Whether wheel steps can be sent: without them there is no Auto-scroll.
    virtual bool canScroll() const = 0;
    // Wheel steps down (positive) or up at the pointer.
    virtual void wheel(int steps) = 0;
    virtual void movePointer(QPoint native) = 0;
    // Where the pointer is, when the desktop lets a program know.
    virtual std::optional<QPoint> pointer() = 0;
    // A key or a mouse button is down.
    virtual bool anythingPressed() = 0;

    // Return (and keypad Enter) and Escape reach this program wherever the
    // focus is; false when that cannot be had.
    virtual bool grabDoneAndCancelKeys() = 0;

    // Draws the frame just outside `frame` and shows `controls` at `bar`, both
    // in Qt's logical units; the region itself stays untouched, and only the
    // bar takes input. Repeated when the controls change.
    virtual void present(const QRect& frame, const QRect& bar, ScrollControls& controls) = 0;
    virtual void hidePresentation() = 0;

Q_SIGNALS:
    void donePressed();
    void cancelPressed();
    // The pictures ended: the reason, for the person.
    void failed(const QString& reason);
};
