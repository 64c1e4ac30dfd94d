#pragma once

#include <QList>
#include <QRect>

struct Pix;

// A screen at twice the scale can still hold a window whose text is drawn at
// the plain size: a terminal beside an editor, say. Tesseract's layout, taken
// up with the large lines, runs the small ones into them or passes over them,
// and a scale chosen for the whole picture suits only one of the two sizes.
// Blocks of text about half the size of the large text beside them are found
// here, to be read apart at a scale of their own.
namespace SmallTextBlocks {

// Boxes in `grey` (8 bit, dark text on light), with a little room around
// them, of lines of glyphs much smaller than the large text of the picture,
// with hardly a large glyph among them.
QList<QRect> find(Pix* grey);

} // namespace SmallTextBlocks
