#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>

// Pixellation of an area of a source image: square cells, the grid aligned on
// the area's centre, each cell one flat colour, the mean of the source pixels
// under it.
namespace Pixellation {

// One sixteenth of the area's shorter side, kept between 8 and 20 pixels.
double cellSize(const QRect& area);

// The smallest whole-pixel rectangle holding `rect` (image points, y up) scaled
// by the pixel factors.
QRect pixelArea(const QRectF& rect, double sx, double sy);

// The pixellated content of `area` (pixels, y up from the image's bottom row),
// as an image of the area's size with rows top to bottom. Pixels outside the
// source stay transparent.
QImage pixellate(const QImage& source, const QRect& area);

} // namespace Pixellation
