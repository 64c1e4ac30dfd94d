#pragma once

#include "RecognizedWord.h"

#include <QList>

struct Pix;

// Icons, check boxes, brush previews and the rims of controls come out of
// Tesseract as short "words" of little confidence ("時", "a", "TT", "ww"),
// which short searches would then find. A real word of one or two characters
// stands close to its neighbours, or is read with confidence; a solid shape
// is no text, however read.
namespace StrayWords {

// Takes out of `words` the short ones of little confidence that stand apart
// from every other word of their line, and the doubtful ones whose box is
// mostly ink in `binary` (1 bit, ink set), and runs of dashes (rules read as
// "ーーーー"); returns how many it took.
int remove(QList<RecognizedWord>& words, Pix* binary);

} // namespace StrayWords
