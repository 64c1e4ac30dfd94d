#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

// Text recognition misreads a letter now and then ("filter" as "lter",
// "プリセット" as "リセット"), and an exact search never finds those shots again.
// A near match forgives one edit: a text holds the word with one character
// inserted, left out or replaced. The usual confusions of recognition (O and 0;
// l, 1 and I; rn and m; S and 5; B and 8; the long vowel mark, 一 and the
// hyphen) count as no edit at all, and so does the ligature "fi" or "fl" of
// print read as one letter, which recognition then sometimes drops.
namespace NearMatch {

// Whether a search word may find near matches: long enough that one edit
// still leaves it telling (five characters, or three of Japanese), and
// without wildcards.
bool eligible(const QString& word);

// A text or word with the confusions of recognition made alike and ASCII
// letters in lower case.
std::u32string normalized(const QString& text);
std::u32string normalized(const char* utf8);

// Whether the UTF-8 `text` holds a string at most one edit away from `word`
// (normalized), the text normalized as it is read; a word longer than 64
// characters only as it is.
bool holdsNear(std::string_view text, const std::u32string& word);

// What glimber_near() (SearchFunctions) takes: each of `terms` as its LIKE
// pattern, and for a word that may be near, the word too.
QByteArray termsForSql(const QStringList& terms);

// The query for the search index that every text near `word` passes: the
// word in three pieces, two of which such a text holds whole (in two halves,
// one of them whole, for a short Latin word), each piece also spelt with its
// confusions.
QByteArray candidateExpression(const QString& word);

// The query for the rows a search for all of `terms` may find near: each
// term's candidates, near or exact, together, so that the rarest term
// narrows the rows; empty when no term is near.
QByteArray candidateExpression(const QStringList& terms);

} // namespace NearMatch
