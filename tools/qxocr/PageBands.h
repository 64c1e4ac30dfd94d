#pragma once

#include <QList>
#include <QRect>

struct Pix;

// Cutting a page where the fewest text pixels are. Tesseract spends time
// growing with the square of the number of text blocks on a page (its
// paragraph pass walks the whole page for every line), which a tall capture or
// a big spreadsheet turns into minutes, so such a page is read in horizontal
// bands; and it refuses pictures longer than 32767 pixels on a side, so those
// are read in pieces.
namespace PageBands {

// Band edges from 0 to the height of `binary` (1 bit, ink set): `count` bands
// of about equal height, each edge moved to the row with the least ink nearby.
QList<int> cuts(Pix* binary, int count);

// Pieces of `grey` (8 bit) no longer than `maxSide` on either side, covering
// it, cut between the lines of text; the whole picture when it fits.
QList<QRect> pieces(Pix* grey, int maxSide);

} // namespace PageBands
