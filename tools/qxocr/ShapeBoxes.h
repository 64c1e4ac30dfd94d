#pragma once

#include <QList>
#include <QRect>

struct Pix;

// Bounding boxes of connected shapes, as several steps look at them: runs of
// joined glyphs, windows on a desktop, the glyphs themselves.
namespace ShapeBoxes {

// The boxes of the 8-connected shapes of a 1-bit picture; none for null.
QList<QRect> of(Pix* binary);

// The dark shapes of an 8-bit `grey` (darker than `threshold`) that may be
// glyphs or parts of glyphs: at least `minHeight` tall and at most three
// heights wide, since wider ones are rules and underlines.
QList<QRect> glyphLike(Pix* grey, int threshold, int minHeight);

} // namespace ShapeBoxes
