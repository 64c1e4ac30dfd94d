#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

struct BenchImage;

// How many known words a recognised text lets a search find.
struct RecallTally {
    int found = 0;
    int total = 0;

    // Counts each of `words` found in `text` by a case-insensitive substring
    // search, the way `qxc search` finds shots.
    void add(const QStringList& words, const QString& text);
    void add(const RecallTally& other);
    double percent() const { return total == 0 ? 0 : 100.0 * found / total; }

    // "ja" for a string in Japanese script, else "en".
    static QString languageOf(const QString& word);
    // Tallies the words of `image` under its language or, for a picture of
    // mixed languages (no language given), each word under its own.
    static void addByLanguage(QMap<QString, RecallTally>& tallies, const BenchImage& image,
                              const QString& text);
};
