#pragma once

#include <QList>
#include <QRect>

struct Pix;

// Tesseract's layout cuts a text line where small marks stand in a column
// down the page, the colons of the times in a log aligned row under row, and
// the mark at the cut then belongs to neither piece: "09:12:01" comes out as
// "09" and "12:01". Pieces of one row with unread ink between them are worth
// reading again as one line.
namespace CutLines {

// Groups of `pieces` (indices, left to right) that are neighbours in one row
// with ink of `binary` (1 bit, ink set) in every gap between them.
QList<QList<qsizetype>> find(const QList<QRect>& pieces, Pix* binary);

} // namespace CutLines
