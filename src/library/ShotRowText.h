#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The texts of a row in the shot list, made from a shot's stored fields.
namespace ShotRowText {

// At most this many user-perceived characters of OCR text show in a row.
inline constexpr int excerptLength = 100;

// "2025-03-14T09:26:53Z" -> "2025-03-14 09:26"; nothing for no time.
QString dateLine(const std::optional<QString>& takenAt);

// What a row shows of a shot's text, and where in it the searched words stand
// (start and length), to be set in bold.
struct Excerpt {
    QString text;
    QList<std::pair<int, int>> hits;
};

// The words of the text from the start of the line that holds the first of
// `words` (or from the start of the text), each run of white space or control
// characters made one space, cut after `excerptLength` characters (never
// inside one). A hit far into a long line starts the excerpt a little before
// it, after an ellipsis. Words with wildcards are not looked for. The text is
// read up to the first hit, and then no further than the excerpt reaches.
Excerpt ocrExcerpt(const std::optional<QString>& ocrText, const QStringList& words = {});

} // namespace ShotRowText
