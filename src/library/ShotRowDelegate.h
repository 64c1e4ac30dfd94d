#pragma once

#include <QStyledItemDelegate>

// Paints one row of the shot list: the thumbnail in its rounded frame (or the
// picture symbol while there is none), the file name, the date (with a quiet
// caption such as "Similar text" at its end) and two lines of OCR text, the
// searched words in bold. Rows are 88 points high.
class ShotRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int rowHeight = 88;
    static constexpr QSize thumbnailFrame{96, 72};

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The caption font: smaller than the widget's own.
    static QFont captionFont(const QFont& base);
};
