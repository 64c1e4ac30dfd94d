#include "ShotRowText.h"

#include <QTextBoundaryFinder>

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

QString ocrExcerpt(const std::optional<QString>& ocrText) {
    if (!ocrText)
        return {};
    // Enough raw text for the excerpt even when every grapheme is a long cluster.
    constexpr qsizetype enough = excerptLength * 8;
    QString words;
    bool pendingSpace = false;
    for (const QChar c : *ocrText) {
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
    return count < excerptLength ? words : words.left(graphemes.position());
}

} // namespace ShotRowText
