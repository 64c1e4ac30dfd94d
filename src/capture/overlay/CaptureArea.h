#pragma once

#include <QRectF>
#include <QSize>

#include <cmath>

// A part of the desktop and the scale its picture is taken at. The area's
// edges lie on that scale's pixel grid, so the picture has whole pixels.
struct CaptureArea {
    QRectF area; // in desktop units
    qreal scale = 1;

    QSize pixelSize() const {
        return {int(std::lround(area.width() * scale)), int(std::lround(area.height() * scale))};
    }
    bool operator==(const CaptureArea&) const = default;
};
