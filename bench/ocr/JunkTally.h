#pragma once

#include <QHash>
#include <QString>

// How much of what was read is not on the screen: the share of recognised
// words that a full transcription of the picture does not hold. Misread words
// count too, since a search finds them as surely as junk read from pictures.
struct JunkTally {
    int junk = 0;
    int words = 0;
    // Of the junk, words within a third of their letters of a piece of the
    // transcription: misreadings rather than readings of pictures.
    int misread = 0;

    // Counts the words of `text` against `transcription`, the picture's text
    // as a person reads it. A word of one or two Latin letters must stand as
    // a word of the transcription; a longer one, or one in Japanese script,
    // anywhere in it.
    void add(const QString& text, const QString& transcription);
    void add(const JunkTally& other);
    double percent() const { return words == 0 ? 0 : 100.0 * junk / words; }
    double misreadPercent() const { return words == 0 ? 0 : 100.0 * misread / words; }

    // The transcriptions of `file` (picture name, tab, one line of its text),
    // joined by line feeds, by picture name; empty when it cannot be read.
    static QHash<QString, QString> load(const QString& file);
};
