#pragma once

#include <QList>

struct Pix;

// Tesseract spends time growing with the square of the number of text blocks
// on a page (its paragraph pass walks the whole page for every line), which a
// tall capture or a big spreadsheet turns into minutes. Such a page is read in
// horizontal bands instead, cut where the fewest text pixels are.
namespace PageBands {

// Band edges from 0 to the height of `binary` (1 bit, ink set): `count` bands
// of about equal height, each edge moved to the row with the least ink nearby.
QList<int> cuts(Pix* binary, int count);

} // namespace PageBands
