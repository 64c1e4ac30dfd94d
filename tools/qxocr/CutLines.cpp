#include "CutLines.h"

#include "PixArea.h"

#include <algorithm>

namespace CutLines {

namespace {

// A cut leaves a gap about one character wide; wider gaps part columns.
constexpr double maxGapPerHeight = 1.5;
// Pieces closer than this stand too close for a space between them: one was
// cut off the other, its first mark with it.
constexpr double maxTouchingGapPerHeight = 0.4;
// A mark at a cut is lower than the line: a colon is about as tall as an x,
// the frame of a button is taller than the text beside it.
constexpr double maxMarkPerHeight = 0.85;

bool centreWithin(const QRect& inner, const QRect& outer) {
    const int centre = inner.top() + inner.height() / 2;
    return centre >= outer.top() && centre <= outer.bottom();
}

// The ink in `area` is a mark smaller than the line: the colon or the dot
// at a cut, not the frame of a button between two labels.
bool holdsSmallMark(Pix* binary, const QRect& area) {
    if (area.isEmpty())
        return false;
    const PixPtr gap = PixArea::clip(binary, area);
    Box* inked = nullptr;
    if (!gap || pixClipToForeground(gap.get(), nullptr, &inked) != 0 || inked == nullptr)
        return false;
    const int height = inked->h;
    boxDestroy(&inked);
    return height <= maxMarkPerHeight * area.height();
}

} // namespace

QList<QList<qsizetype>> find(const QList<QRect>& pieces, Pix* binary) {
    if (binary == nullptr)
        return {};
    const QRect picture(0, 0, pixGetWidth(binary), pixGetHeight(binary));
    // The nearest piece to the right of each one in its row, when the gap
    // between them holds ink. Links only point right, so they form chains.
    QList<qsizetype> next(pieces.size(), -1);
    QList<bool> followsAnother(pieces.size(), false);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QRect& left = pieces[i];
        const int maxGap = int(maxGapPerHeight * left.height());
        qsizetype nearest = -1;
        for (qsizetype j = 0; j < pieces.size(); ++j) {
            const QRect& right = pieces[j];
            const int gap = right.left() - left.right() - 1;
            if (j == i || gap <= 0 || gap > maxGap || !centreWithin(left, right) ||
                !centreWithin(right, left))
                continue;
            if (nearest < 0 || right.left() < pieces[nearest].left())
                nearest = j;
        }
        if (nearest < 0)
            continue;
        const QRect& right = pieces[nearest];
        const int top = std::max(left.top(), right.top());
        const int bottom = std::min(left.bottom(), right.bottom());
        const QRect gap(QPoint(left.right() + 1, top), QPoint(right.left() - 1, bottom));
        const bool touching = gap.width() < maxTouchingGapPerHeight * left.height();
        if ((touching || holdsSmallMark(binary, gap & picture)) && !followsAnother[nearest]) {
            next[i] = nearest;
            followsAnother[nearest] = true;
        }
    }
    QList<QList<qsizetype>> groups;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (followsAnother[i] || next[i] < 0)
            continue;
        QList<qsizetype> group;
        for (qsizetype piece = i; piece >= 0; piece = next[piece])
            group.append(piece);
        groups.append(group);
    }
    return groups;
}

} // namespace CutLines
