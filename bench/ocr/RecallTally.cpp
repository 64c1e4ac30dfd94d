#include "RecallTally.h"

void RecallTally::add(const QStringList& words, const QString& text) {
    for (const QString& word : words) {
        ++total;
        if (text.contains(word, Qt::CaseInsensitive))
            ++found;
    }
}

void RecallTally::add(const RecallTally& other) {
    found += other.found;
    total += other.total;
}
