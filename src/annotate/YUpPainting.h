#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

// The editor paints in y-up coordinates on Qt's downward-growing devices; these
// are the two places where the directions meet.
namespace YUpPainting {

// Makes y grow upward from the bottom edge of a device `height` units high.
inline void flip(QPainter& painter, double height) {
    painter.translate(0, height);
    painter.scale(1, -1);
}

// Draws `image` (rows top to bottom, as QImage keeps them) the right way up into
// `target`, given in the painter's current y-up coordinates.
inline void drawImage(QPainter& painter, const QRectF& target, const QImage& image,
                      const QRectF& sourcePixels) {
    painter.save();
    painter.translate(target.x(), target.y() + target.height());
    painter.scale(1, -1);
    painter.drawImage(QRectF(0, 0, target.width(), target.height()), image, sourcePixels);
    painter.restore();
}

} // namespace YUpPainting
