#include "ShotRowText.h"

#include "NearMatch.h"

#include <QRegularExpression>
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

// The words of `text` one edit away from a searched word, for a shot that
// holds none of them as typed: where the excerpt starts and what it shows in
// bold. A long run without spaces (Japanese) only places the excerpt.
QList<std::pair<int, int>> nearHitsIn(const QString& text, const QStringList& words) {
    QList<std::u32string> wanted;
    for (const QString& word : words) {
        if (NearMatch::eligible(word))
            wanted.append(NearMatch::normalized(word));
    }
    QList<std::pair<int, int>> hits;
    if (wanted.isEmpty())
        return hits;
    static const QRegularExpression token(QStringLiteral("\\S+"));
    for (const QRegularExpressionMatch& match : token.globalMatch(text)) {
        const QByteArray utf8 = match.captured().toUtf8();
        for (const std::u32string& word : wanted) {
            if (!NearMatch::holdsNear(utf8.toStdString(), word))
                continue;
            const bool shortEnough = match.capturedLength() <= qsizetype(word.size()) + 2;
            hits.append(
                {int(match.capturedStart()), shortEnough ? int(match.capturedLength()) : 0});
            break;
        }
    }
    return hits;
}

std::optional<qsizetype> firstNearHit(const QString& text, const QStringList& words) {
    const QList<std::pair<int, int>> hits = nearHitsIn(text, words);
    if (hits.isEmpty())
        return std::nullopt;
    return hits.first().first;
}

} // namespace

Excerpt ocrExcerpt(const std::optional<QString>& ocrText, const QStringList& searched) {
    if (!ocrText)
        return {};
    qsizetype from = 0;
    QString words;
    std::optional<qsizetype> hit = firstHit(*ocrText, searched);
    const bool near = !hit;
    if (near)
        hit = firstNearHit(*ocrText, searched);
    if (hit) {
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
    QList<std::pair<int, int>> hits = near ? nearHitsIn(words, searched) : hitsIn(words, searched);
    hits.removeIf([](const std::pair<int, int>& hit) { return hit.second == 0; });
    return {words, hits};
}

} // namespace ShotRowText
