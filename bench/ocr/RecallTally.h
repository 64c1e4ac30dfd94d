#pragma once

#include <QString>
#include <QStringList>

// How many known words a recognised text lets a search find.
struct RecallTally {
    int found = 0;
    int total = 0;

    // Counts each of `words` found in `text` by a case-insensitive substring
    // search, the way `qxc search` finds shots.
    void add(const QStringList& words, const QString& text);
    void add(const RecallTally& other);
    double percent() const { return total == 0 ? 0 : 100.0 * found / total; }
};
