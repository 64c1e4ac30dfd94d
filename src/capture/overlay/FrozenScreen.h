#pragma once

#include <QImage>
#include <QRect>

// One screen as it looked when the capture began: its place in the desktop's
// coordinate space (the root window's pixels under X11, the compositor's
// logical layout under Wayland) and its own pixels, which under Wayland are
// `scale()` to a unit: two on a panel shown at 200 %.
struct FrozenScreen {
    QRect geometry; // in desktop units
    QImage image;   // at no device pixel ratio

    qreal scale() const { return geometry.isEmpty() ? 1 : qreal(image.width()) / geometry.width(); }
};
