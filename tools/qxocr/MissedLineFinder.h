#pragma once

#include <QList>
#include <QRect>

struct Pix;

// Sparse-text layout sometimes passes over whole stacks of short labels (a list
// of two-character Japanese items, say). What is left of the page's ink once
// every recognised word is taken away, and looks like a line of text, is worth
// a second look.
namespace MissedLineFinder {

// Boxes of text-like ink in `binary` (1 bit, ink set) outside `wordBoxes`, for
// text lines about `lineHeight` pixels tall. Thin rules, specks and pictures
// are left out.
QList<QRect> find(Pix* binary, const QList<QRect>& wordBoxes, int lineHeight);

} // namespace MissedLineFinder
