#pragma once

#include "RecognizedWord.h"

#include <QList>
#include <QString>

// Puts the words of a page and any lines read separately back into one text.
namespace PageText {

// The words in Tesseract's reading order, a line feed where a line starts and
// a space where Tesseract saw one; each extra line goes in before the first
// page line that starts lower down, so the text keeps to reading order.
QString assemble(const QList<RecognizedWord>& words, QList<RecognizedLine> extraLines);

} // namespace PageText
