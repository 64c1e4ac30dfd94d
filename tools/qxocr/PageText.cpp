#include "PageText.h"

#include <QStringList>

#include <algorithm>

namespace PageText {

namespace {

QList<RecognizedLine> linesOf(const QList<RecognizedWord>& words) {
    QList<RecognizedLine> lines;
    for (const RecognizedWord& word : words) {
        if (lines.isEmpty() || word.startsLine) {
            lines.append({word.text, word.box});
            continue;
        }
        RecognizedLine& line = lines.last();
        line.text += (word.spaceBefore ? QStringLiteral(" ") : QString()) + word.text;
        line.box = line.box.united(word.box);
    }
    return lines;
}

} // namespace

QString assemble(const QList<RecognizedWord>& words, QList<RecognizedLine> extraLines) {
    std::stable_sort(
        extraLines.begin(), extraLines.end(),
        [](const RecognizedLine& a, const RecognizedLine& b) { return a.box.top() < b.box.top(); });
    QStringList text;
    auto extra = extraLines.cbegin();
    for (const RecognizedLine& line : linesOf(words)) {
        for (; extra != extraLines.cend() && extra->box.top() < line.box.top(); ++extra)
            text.append(extra->text);
        text.append(line.text);
    }
    for (; extra != extraLines.cend(); ++extra)
        text.append(extra->text);
    return text.join(u'\n');
}

} // namespace PageText
