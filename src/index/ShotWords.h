#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

// A word of a shot's text and where it stands in the picture, in its pixels.
struct ShotWord {
    QString text;
    QRect box;

    friend bool operator==(const ShotWord&, const ShotWord&) = default;
};

// Where a shot's words stand, as the OCR helper reported them ("words":
// [[x, y, width, height, "text"], ...]); kept beside table `shots` with the
// size and time its file had when it was read, since the boxes of a file
// changed since then point at nothing.
namespace ShotWords {

struct Stamp {
    qint64 bytes = -1;
    qint64 mtimeMs = -1;

    friend bool operator==(const Stamp&, const Stamp&) = default;
};

// The file's size and modification time now; -1 for a file that is not there.
Stamp stampOf(const QString& path);

// The helper's "words" member; nothing unless it is an array of words.
std::optional<QList<ShotWord>> parse(const QByteArray& json);
QByteArray toJson(const QList<ShotWord>& words);

// The words that hold, or make up a part of, one of the searched terms (as
// SearchQuery gives them), in their order: what a search for them found.
QList<ShotWord> matching(const QList<ShotWord>& words, const QStringList& terms);

} // namespace ShotWords
