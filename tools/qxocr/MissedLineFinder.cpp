#include "MissedLineFinder.h"

#include "PixPtr.h"
#include "ShapeBoxes.h"

#include <algorithm>

namespace MissedLineFinder {

namespace {

// A text line is about as tall as the others on the page, at least roughly as
// wide as tall, and neither sparse (specks, outlines) nor solid (bars, icons).
constexpr double minHeight = 0.6, maxHeight = 2.5;
constexpr double minAspect = 0.8;
constexpr double minInk = 0.05, maxInk = 0.7;
// Words recognised already are cleared with a little room around them.
constexpr int wordMargin = 2;

bool looksLikeText(Pix* ink, int x, int y, int width, int height, int lineHeight) {
    if (height < minHeight * lineHeight || height > maxHeight * lineHeight ||
        width < minAspect * height)
        return false;
    Box* box = boxCreate(x, y, width, height);
    l_int32 inked = 0;
    pixCountPixelsInRect(ink, box, &inked, nullptr);
    boxDestroy(&box);
    const double density = double(inked) / (double(width) * height);
    return density >= minInk && density <= maxInk;
}

} // namespace

QList<QRect> find(Pix* binary, const QList<QRect>& wordBoxes, int lineHeight) {
    if (binary == nullptr || lineHeight <= 0)
        return {};
    PixPtr rest(pixCopy(nullptr, binary));
    if (!rest)
        return {};
    for (const QRect& word : wordBoxes) {
        const QRect cleared = word.adjusted(-wordMargin, -wordMargin, wordMargin, wordMargin);
        pixRasterop(rest.get(), cleared.x(), cleared.y(), cleared.width(), cleared.height(),
                    PIX_CLR, nullptr, 0, 0);
    }
    // Characters of one line run together; lines stay apart.
    PixPtr joined(pixCloseBrick(nullptr, rest.get(), std::max(2, lineHeight * 2 / 3), 1));
    if (!joined)
        return {};
    QList<QRect> lines;
    for (const QRect& box : ShapeBoxes::of(joined.get())) {
        if (looksLikeText(rest.get(), box.x(), box.y(), box.width(), box.height(), lineHeight))
            lines.append(box);
    }
    return lines;
}

} // namespace MissedLineFinder
