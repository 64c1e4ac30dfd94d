#include "ShotRowDelegate.h"

#include "LibraryStyle.h"
#include "LibrarySymbols.h"
#include "ShotListModel.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int leftMargin = 8;
constexpr int spacing = 10;
constexpr int lineGap = 2;

void paintThumbnail(QPainter& painter, const QRect& frame, const QModelIndex& index,
                    const QColor& ink) {
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(frame), 4, 4);
    painter.fillPath(rounded, LibraryStyle::secondary(ink, 0.12));
    const QImage image = index.data(ShotListModel::ThumbnailRole).value<QImage>();
    if (image.isNull()) {
        LibrarySymbols::paintPhoto(painter, QRectF(frame).adjusted(30, 18, -30, -18),
                                   LibraryStyle::secondary(ink, 0.5));
        return;
    }
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    QSizeF fitted = QSizeF(image.size()).scaled(QSizeF(inner.size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF(inner.center().x() + 0.5 - fitted.width() / 2,
                                inner.center().y() + 0.5 - fitted.height() / 2),
                        fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
}

using Hits = QList<std::pair<int, int>>;

// One line of an excerpt: its text as shown, and where it starts in the excerpt.
struct ExcerptLine {
    QString text;
    int start = 0;
};

// Up to `maxLines` lines of `text` wrapped into `width`, the last one cut with
// an ellipsis when the text goes on.
QList<ExcerptLine> wrappedLines(const QString& text, const QFont& font, int width, int maxLines) {
    QList<ExcerptLine> lines;
    if (text.isEmpty() || width <= 0)
        return lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (lines.size() < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool cut =
            lines.size() == maxLines - 1 && line.textStart() + line.textLength() < text.size();
        lines.append(
            {cut ? QFontMetrics(font).elidedText(text.mid(line.textStart()), Qt::ElideRight, width)
                 : text.mid(line.textStart(), line.textLength()),
             line.textStart()});
    }
    layout.endLayout();
    return lines;
}

// Draws a line of the excerpt from `left`, the searched words in it in bold.
void paintExcerptLine(QPainter& painter, const ExcerptLine& line, const Hits& hits, QRect box) {
    const QFont plain = painter.font();
    QFont bold = plain;
    bold.setBold(true);
    int at = 0;
    int x = box.left();
    const auto draw = [&](int length, const QFont& font) {
        if (length <= 0)
            return;
        const QString part = line.text.mid(at, length);
        painter.setFont(font);
        painter.drawText(QRect(x, box.top(), box.right() - x + 1, box.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, part);
        x += QFontMetrics(font).horizontalAdvance(part);
        at += length;
    };
    for (const auto& [start, length] : hits) {
        const int from = std::clamp(start - line.start, at, int(line.text.size()));
        const int to = std::clamp(start + length - line.start, from, int(line.text.size()));
        draw(from - at, plain);
        draw(to - from, bold);
    }
    draw(int(line.text.size()) - at, plain);
    painter.setFont(plain);
}

} // namespace

QFont ShotRowDelegate::captionFont(const QFont& base) {
    QFont font = base;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 0.85);
    else
        font.setPixelSize(std::max(9, int(font.pixelSize() * 0.85)));
    return font;
}

void ShotRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = {};
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QColor ink = option.palette.color(
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive,
        selected ? QPalette::HighlightedText : QPalette::Text);

    painter->save();
    const QRect row = option.rect;
    const QRect frame(row.left() + leftMargin, row.center().y() + 1 - thumbnailFrame.height() / 2,
                      thumbnailFrame.width(), thumbnailFrame.height());
    paintThumbnail(*painter, frame, index, ink);

    const int textLeft = frame.right() + 1 + spacing;
    const int textWidth = std::max(0, row.right() - leftMargin - textLeft);
    const QFont nameFont = option.font;
    const QFont smallFont = captionFont(option.font);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics smallMetrics(smallFont);
    const QString date = index.data(ShotListModel::DateRole).toString();
    const QString excerpt = index.data(ShotListModel::ExcerptRole).toString();
    const Hits hits = index.data(ShotListModel::ExcerptHitsRole).value<Hits>();
    const QList<ExcerptLine> excerptLines = wrappedLines(excerpt, smallFont, textWidth, 2);
    const int height =
        nameMetrics.height() + lineGap + smallMetrics.height() +
        (excerptLines.isEmpty() ? 0 : lineGap + int(excerptLines.size()) * smallMetrics.height());
    int y = row.center().y() + 1 - height / 2;

    painter->setPen(ink);
    painter->setFont(nameFont);
    painter->drawText(
        QRect(textLeft, y, textWidth, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
        nameMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textWidth));
    y += nameMetrics.height() + lineGap;
    painter->setPen(selected ? ink : LibraryStyle::secondary(ink));
    painter->setFont(smallFont);
    const QRect dateLine(textLeft, y, textWidth, smallMetrics.height());
    painter->drawText(dateLine, Qt::AlignLeft | Qt::AlignVCenter, date);
    const QString caption = index.data(ShotListModel::CaptionRole).toString();
    if (!caption.isEmpty()) {
        QFont quiet = smallFont;
        quiet.setItalic(true);
        painter->setFont(quiet);
        painter->drawText(dateLine, Qt::AlignRight | Qt::AlignVCenter, caption);
        painter->setFont(smallFont);
    }
    y += smallMetrics.height() + lineGap;
    for (const ExcerptLine& line : excerptLines) {
        paintExcerptLine(*painter, line, hits,
                         QRect(textLeft, y, textWidth, smallMetrics.height()));
        y += smallMetrics.height();
    }
    painter->restore();
}

QSize ShotRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), rowHeight);
}
