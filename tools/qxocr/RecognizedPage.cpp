#include "RecognizedPage.h"

#include <QRectF>

RecognizedPage RecognizedPage::placed(double scale, QPoint offset) const {
    RecognizedPage page{text, {}};
    for (const WordBox& word : words) {
        const QRectF box(QPointF(word.box.topLeft()) / scale, QSizeF(word.box.size()) / scale);
        page.words.append({word.text, box.toAlignedRect().translated(offset)});
    }
    return page;
}

void RecognizedPage::append(const RecognizedPage& other) {
    if (!other.text.isEmpty())
        text = text.isEmpty() ? other.text : text + u'\n' + other.text;
    words += other.words;
}
