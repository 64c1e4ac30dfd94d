#include "SmallTextBlocks.h"

#include "GreyHistogram.h"
#include "PixPtr.h"
#include "ShapeBoxes.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace SmallTextBlocks {

namespace {

// The large text's height is that of the shortest of the tallest glyphs, this
// many of them: a line's worth. The large text may be the lesser part of a
// page's glyphs.
constexpr int largeTextGlyphs = 20;
// Glyphs up to this share of the large text's height are small.
constexpr double smallShare = 0.6;
// Shapes lower than this are dots and noise.
constexpr int minGlyphHeight = 3;
// A block is a text line or more: this many small glyphs at least, with at
// most this share of large ones among them, and this many glyph heights wide.
constexpr int minSmallGlyphs = 20;
constexpr double maxLargeShare = 0.1;
constexpr int minWidthInHeights = 8;

// The height `count` glyphs from the top, counting from the tallest.
int heightFromTop(const QList<QRect>& boxes, qsizetype count) {
    std::vector<int> heights;
    for (const QRect& box : boxes)
        heights.push_back(box.height());
    const auto at = heights.begin() + std::min(count, qsizetype(heights.size())) - 1;
    std::nth_element(heights.begin(), at, heights.end(), std::greater<>());
    return *at;
}

// The small glyphs run together into words, the words into lines and the
// lines into blocks; the gaps around large glyphs are wider.
QList<QRect> joinedGlyphs(QSize picture, const QList<QRect>& small, int smallHeight) {
    const PixPtr mask(pixCreate(picture.width(), picture.height(), 1));
    if (!mask)
        return {};
    for (const QRect& glyph : small)
        pixRasterop(mask.get(), glyph.x(), glyph.y(), glyph.width(), glyph.height(), PIX_SET,
                    nullptr, 0, 0);
    const PixPtr joined(pixCloseBrick(nullptr, mask.get(), 2 * smallHeight, smallHeight));
    return ShapeBoxes::of(joined.get());
}

int countInside(const QList<QRect>& glyphs, QRect block) {
    return int(std::count_if(glyphs.cbegin(), glyphs.cend(),
                             [&](const QRect& glyph) { return block.contains(glyph.center()); }));
}

// Text rather than a few stray marks, and small text rather than the pieces
// of large glyphs.
bool holdsSmallText(QRect block, const QList<QRect>& small, const QList<QRect>& large,
                    int smallHeight) {
    const int smallCount = countInside(small, block);
    return block.width() >= minWidthInHeights * smallHeight && smallCount >= minSmallGlyphs &&
           countInside(large, block) <= maxLargeShare * smallCount;
}

} // namespace

QList<QRect> find(Pix* grey) {
    if (!grey)
        return {};
    const QList<QRect> glyphs =
        ShapeBoxes::glyphLike(grey, GreyHistogram::of(grey).otsuThreshold(), minGlyphHeight);
    if (glyphs.size() < minSmallGlyphs)
        return {};
    const int smallLimit = int(smallShare * heightFromTop(glyphs, largeTextGlyphs));
    QList<QRect> small, large;
    for (const QRect& glyph : glyphs)
        (glyph.height() <= smallLimit ? small : large).append(glyph);
    if (small.size() < minSmallGlyphs || large.isEmpty())
        return {};
    const int smallHeight = heightFromTop(small, small.size() / 2 + 1);
    const QRect picture(0, 0, pixGetWidth(grey), pixGetHeight(grey));
    const int margin = smallHeight / 2;
    QList<QRect> blocks;
    for (const QRect& block : joinedGlyphs(picture.size(), small, smallHeight)) {
        if (holdsSmallText(block, small, large, smallHeight))
            blocks.append(block.adjusted(-margin, -margin, margin, margin) & picture);
    }
    return blocks;
}

} // namespace SmallTextBlocks
