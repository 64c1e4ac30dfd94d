#include "ShotRowText.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace ShotRowText {

namespace {

// Control characters would draw as boxes or move the line; bidirectional
// overrides would turn the rest of the row around.
bool separates(QChar c) {
    return c.isSpace() || c.category() == QChar::Other_Control;
}

bool dropped(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString dateLine(const std::optional<QString>& takenAt) {
    if (!takenAt || takenAt->isEmpty())
        return {};
    QString line = takenAt->left(16);
    line.replace(u'T', u' ');
    return line;
}

namespace {

// A hit further into its line than this starts the excerpt nearer to it.
constexpr qsizetype leadBeforeHit = 24;

std::optional<qsizetype> firstHit(const QString& text, const QStringList& words) {
    std::optional<qsizetype> first;
    for (const QString& word : words) {
        if (word.isEmpty() || word.contains(u'%') || word.contains(u'_'))
            continue;
        const qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive);
        if (at >= 0 && (!first || at < *first))
            first = at;
    }
    return first;
}

// Where the excerpt starts: the hit's line, or a word shortly before the hit.
std::pair<qsizetype, bool> excerptStart(const QString& text, qsizetype hit) {
    const qsizetype lineStart = text.lastIndexOf(u'\n', hit) + 1;
    if (hit - lineStart <= leadBeforeHit * 2)
        return {lineStart, false};
    const qsizetype space = text.lastIndexOf(u' ', hit - leadBeforeHit);
    return {space > lineStart ? space + 1 : hit - leadBeforeHit, true};
}

QList<std::pair<int, int>> hitsIn(const QString& excerpt, const QStringList& words) {
    QList<std::pair<int, int>> hits;
    for (const QString& word : words) {
        if (word.isEmpty() || word.contains(u'%') || word.contains(u'_'))
            continue;
        for (qsizetype at = excerpt.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
             at = excerpt.indexOf(word, at + word.size(), Qt::CaseInsensitive))
            hits.append({int(at), int(word.size())});
    }
    std::sort(hits.begin(), hits.end());
    return hits;
}

} // namespace

Excerpt ocrExcerpt(const std::optional<QString>& ocrText, const QStringList& searched) {
    if (!ocrText)
        return {};
    qsizetype from = 0;
    QString words;
    if (const std::optional<qsizetype> hit = firstHit(*ocrText, searched)) {
        const auto [start, cut] = excerptStart(*ocrText, *hit);
        from = start;
        if (cut)
            words = QStringLiteral("… ");
    }
    // Enough raw text for the excerpt even when every grapheme is a long cluster.
    constexpr qsizetype enough = excerptLength * 8;
    bool pendingSpace = false;
    for (const QChar c : QStringView(*ocrText).mid(from)) {
        if (separates(c)) {
            pendingSpace = !words.isEmpty();
            continue;
        }
        if (dropped(c.unicode()))
            continue;
        if (pendingSpace)
            words += u' ';
        pendingSpace = false;
        words += c;
        if (words.size() >= enough)
            break;
    }
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, words);
    int count = 0;
    while (count < excerptLength && graphemes.toNextBoundary() != -1)
        ++count;
    if (count >= excerptLength)
        words.truncate(graphemes.position());
    return {words, hitsIn(words, searched)};
}

} // namespace ShotRowText
