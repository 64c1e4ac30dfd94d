#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSocketNotifier>

#include <memory>

struct _XDisplay;

// The scroll helper's own connection to the X server: it grabs the region's
// pixels, sends wheel steps as if from the mouse (XTest), watches whether the
// person touches the keyboard or the mouse, and takes Return and Escape from
// whoever has the focus, and no other key.
class X11ScrollDisplay : public QObject {
    Q_OBJECT

public:
    X11ScrollDisplay();
    ~X11ScrollDisplay() override;

    bool isOpen() const { return display_ != nullptr; }

    // The root window's pixels in `native`, as RGB32; null when X refused.
    QImage grab(const QRect& native);

    // Wheel steps down (positive) or up at the pointer.
    void wheel(int steps);
    void movePointer(QPoint native);
    QPoint pointer();
    // A key or a mouse button is down.
    bool anythingPressed();

    // Return (and keypad Enter) and Escape reach this program wherever the
    // focus is; false when another program holds them.
    bool grabDoneAndCancelKeys();

Q_SIGNALS:
    void donePressed();
    void cancelPressed();

private:
    void readEvents();
    // The pointer's place (when `at` is given) and the buttons and modifiers down.
    unsigned int queryPointer(QPoint* at);

    _XDisplay* display_ = nullptr;
    std::unique_ptr<QSocketNotifier> events_;
    unsigned long root_ = 0;
};
