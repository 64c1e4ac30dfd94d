#include "RecallTally.h"

#include "BenchImage.h"

#include <algorithm>

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

QString RecallTally::languageOf(const QString& word) {
    const bool japanese = std::any_of(word.cbegin(), word.cend(), [](QChar c) {
        return (c.unicode() >= 0x3000 && c.unicode() <= 0x9fff) ||
               (c.unicode() >= 0xff00 && c.unicode() <= 0xffef);
    });
    return japanese ? QStringLiteral("ja") : QStringLiteral("en");
}

void RecallTally::addByLanguage(QMap<QString, RecallTally>& tallies, const BenchImage& image,
                                const QString& text) {
    if (!image.language.isEmpty()) {
        tallies[image.language].add(image.words, text);
        return;
    }
    for (const QString& word : image.words)
        tallies[languageOf(word)].add({word}, text);
}
