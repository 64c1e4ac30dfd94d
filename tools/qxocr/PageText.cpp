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

struct Row {
    QRect box;
    QList<RecognizedLine> parts;
};

bool centreWithin(const QRect& inner, const QRect& outer) {
    const int centre = inner.top() + inner.height() / 2;
    return centre >= outer.top() && centre <= outer.bottom();
}

// Two pieces share a text line when each one's middle lies within the other's
// height: a label and the shortcut beside it, the columns of one table row.
bool sameRow(const QRect& a, const QRect& b) {
    return centreWithin(a, b) && centreWithin(b, a);
}

// Sparse layout reads the columns of a terminal, a log or a table as pieces of
// their own; a phrase is only found when its pieces are one line again.
QList<Row> rowsOf(QList<RecognizedLine> lines) {
    std::stable_sort(
        lines.begin(), lines.end(),
        [](const RecognizedLine& a, const RecognizedLine& b) { return a.box.top() < b.box.top(); });
    QList<Row> rows;
    for (RecognizedLine& line : lines) {
        Row* joined = nullptr;
        for (qsizetype i = rows.size() - 1; i >= 0 && joined == nullptr; --i) {
            if (rows[i].box.bottom() < line.box.top() - line.box.height() * 4)
                break;
            if (sameRow(rows[i].box, line.box))
                joined = &rows[i];
        }
        if (joined == nullptr) {
            rows.append({line.box, {}});
            joined = &rows.last();
        }
        joined->box = joined->box.united(line.box);
        joined->parts.append(std::move(line));
    }
    return rows;
}

} // namespace

QString assemble(const QList<RecognizedWord>& words, QList<RecognizedLine> extraLines) {
    QStringList text;
    for (Row& row : rowsOf(linesOf(words) + extraLines)) {
        std::stable_sort(row.parts.begin(), row.parts.end(),
                         [](const RecognizedLine& a, const RecognizedLine& b) {
                             return a.box.left() < b.box.left();
                         });
        QStringList parts;
        for (const RecognizedLine& part : row.parts)
            parts.append(part.text);
        text.append(parts.join(u' '));
    }
    return text.join(u'\n');
}

} // namespace PageText
