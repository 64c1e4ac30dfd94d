#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include <cmath>

// One screen as it looked when the capture began. Its pixels are the root
// window's own (X11 has one pixel space for all screens, whatever scale each
// screen is shown at); Qt addresses the same screen in logical units of
// 1 / devicePixelRatio pixels, counted from the screen's top-left corner.
struct FrozenScreen {
    QRect nativeGeometry; // in root-window pixels
    qreal devicePixelRatio = 1;
    QImage image; // nativeGeometry.size() pixels

    // A point of the screen's overlay, in its logical units, as a root-window
    // pixel; the pixel grid is where a pointer can actually be.
    QPoint toNative(QPointF local) const {
        return nativeGeometry.topLeft() + QPoint(int(std::lround(local.x() * devicePixelRatio)),
                                                 int(std::lround(local.y() * devicePixelRatio)));
    }

    // A rectangle of root-window pixels in the overlay's logical units.
    QRectF toLocal(const QRect& native) const {
        const QRect shifted = native.translated(-nativeGeometry.topLeft());
        return {shifted.x() / devicePixelRatio, shifted.y() / devicePixelRatio,
                shifted.width() / devicePixelRatio, shifted.height() / devicePixelRatio};
    }
};
