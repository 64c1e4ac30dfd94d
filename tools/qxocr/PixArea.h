#pragma once

#include "PixPtr.h"

#include <QRect>
#include <QSize>

// Leptonica's pictures in Qt's geometry: their size, and copies of a part.
namespace PixArea {

QSize size(Pix* pix);

// A copy of `area` of `pix`, cut to the picture; null when nothing of it is
// inside or the copy cannot be made.
PixPtr clip(Pix* pix, QRect area);

} // namespace PixArea
