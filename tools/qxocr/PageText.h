#pragma once

#include "RecognizedWord.h"

#include <QList>
#include <QString>

// Puts the words of a page and any lines read separately back into one text.
namespace PageText {

// The words of each of Tesseract's lines with a space where Tesseract saw
// one; those lines and the extra lines that share a text line on the page
// joined left to right by single spaces; text lines from top to bottom,
// separated by line feeds.
QString assemble(const QList<RecognizedWord>& words, QList<RecognizedLine> extraLines);

} // namespace PageText
