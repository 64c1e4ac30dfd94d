#pragma once

#include <QString>

#include <optional>

// The texts of a row in the shot list, made from a shot's stored fields.
namespace ShotRowText {

// At most this many user-perceived characters of OCR text show in a row.
inline constexpr int excerptLength = 100;

// "2025-03-14T09:26:53Z" -> "2025-03-14 09:26"; nothing for no time.
QString dateLine(const std::optional<QString>& takenAt);

// The words of the text, each run of white space or control characters made one
// space, cut after `excerptLength` characters (never inside one). Only the start
// of the text is read, so a page of 100,000 characters costs no more than a line.
QString ocrExcerpt(const std::optional<QString>& ocrText);

} // namespace ShotRowText
