#pragma once

#include "RegionFrame.h"
#include "ScrollDisplay.h"

#include <QSocketNotifier>

#include <memory>

struct _XDisplay;

// The scroll helper's own connection to the X server: it grabs the region's
// pixels, sends wheel steps as if from the mouse (XTest), watches whether the
// person touches the keyboard or the mouse, and takes Return and Escape from
// whoever has the focus, and no other key. Native units are root pixels.
class X11ScrollDisplay : public ScrollDisplay {
    Q_OBJECT

public:
    X11ScrollDisplay();
    ~X11ScrollDisplay() override;

    bool isOpen() const { return display_ != nullptr; }

    // The root window's pixels in `native`; X refusing ends the pictures.
    QImage grab(const QRect& native) override;

    bool canScroll() const override { return true; }
    void wheel(int steps) override;
    void movePointer(QPoint native) override;
    std::optional<QPoint> pointer() override;
    bool anythingPressed() override;
    // False when another program holds one of the keys.
    bool grabDoneAndCancelKeys() override;

    void present(const QRect& frame, const QRect& bar, ScrollControls& controls) override;
    void hidePresentation() override;

private:
    void readEvents();
    // The pointer's place (when `at` is given) and the buttons and modifiers down.
    unsigned int queryPointer(QPoint* at);

    _XDisplay* display_ = nullptr;
    std::unique_ptr<QSocketNotifier> events_;
    unsigned long root_ = 0;
    std::unique_ptr<RegionFrame> frame_;
    ScrollControls* controls_ = nullptr;
};
