#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

class QScreen;
class ScrollControls;

// The frame round a region and the bar beside it as one see-through window
// over the whole of the region's screen, for Wayland desktops without an
// overlay layer (GNOME): such a window is the one place a program may put
// things where it wants them. Only the bar takes input, so wheel, clicks and
// keys reach the program being scrolled.
class FullScreenRegionOverlay : public QWidget {
public:
    explicit FullScreenRegionOverlay(QScreen* screen);

    // Both in the desktop's logical units.
    void present(const QRect& frame, const QRect& bar, ScrollControls& controls);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QScreen* screen_;
    QRect frame_; // in this window's units
    QPointer<ScrollControls> controls_;
};
