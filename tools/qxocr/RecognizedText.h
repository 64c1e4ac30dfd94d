#pragma once

#include <QString>

// Tesseract's page text made fit for substring search.
namespace RecognizedText {

// One line per text line, no blank lines, no space at either end of a line;
// runs of spaces become one, and spaces between two Japanese characters go,
// so a search for a Japanese word finds it however Tesseract spaced it.
QString tidy(const QString& pageText);

// Whether `text` holds kana, kanji or other characters of Japanese writing.
bool hasJapanese(const QString& text);
// How many characters of `text` are of Japanese writing.
qsizetype japaneseLength(const QString& text);

// How many characters of `text` are not white space.
qsizetype nonSpaceLength(const QString& text);

} // namespace RecognizedText
