#include "IconBlobs.h"

#include "GreyHistogram.h"
#include "PixPtr.h"

#include <algorithm>
#include <vector>

namespace IconBlobs {

namespace {

// A blob covers at least this share of its box: a filled circle 0.79, a
// square badge with a round hole 0.8; glyphs stay under it, but for small
// dense Japanese ones.
constexpr double minFill = 0.75;
// Icons stand about as tall as capitals, and are about as wide as tall.
constexpr double minHeightOfGlyph = 0.9;
constexpr double maxHeightOfGlyph = 3;
constexpr double minAspect = 0.7;
constexpr double maxAspect = 1.4;
// Smaller blobs are dots and punctuation.
constexpr int minSide = 7;
// How much lighter than the text's ink an icon's colour turns in grey: red,
// blue, green, orange, purple and mid-grey all do; black icons stay.
constexpr int minLighterThanInk = 30;
// An icon is mostly one flat colour: its darker quarter is hardly darker
// than its middle.
constexpr int maxShading = 8;

bool iconShaped(int width, int height, int glyphHeight) {
    if (std::min(width, height) < minSide || height < minHeightOfGlyph * glyphHeight ||
        height > maxHeightOfGlyph * glyphHeight)
        return false;
    const double aspect = double(width) / height;
    return aspect >= minAspect && aspect <= maxAspect;
}

// The median height of the shapes that may be glyphs: at least four pixels
// tall, at most three heights wide (wider ones are rules).
int typicalGlyphHeight(Boxa* boxes) {
    std::vector<int> heights;
    for (int i = 0; i < boxaGetCount(boxes); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes, i, &x, &y, &width, &height);
        if (height >= 4 && height <= 200 && width <= 3 * height)
            heights.push_back(height);
    }
    if (heights.empty())
        return 0;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights[heights.size() / 2];
}

} // namespace

int blank(Pix* grey, int threshold) {
    PixPtr dark(pixThresholdToBinary(grey, threshold));
    if (!dark)
        return 0;
    Pixa* rawParts = nullptr;
    BoxaPtr boxes(pixConnComp(dark.get(), &rawParts, 8));
    PixaPtr parts(rawParts);
    if (!boxes || !parts)
        return 0;
    const int glyphHeight = typicalGlyphHeight(boxes.get());
    if (glyphHeight <= 0)
        return 0;
    // The text's ink: the darkest of what is dark, as icons may be much of the rest.
    const int ink = GreyHistogram::under(grey, dark.get(), 0, 0).percentile(0, 256, 0.1);
    int blanked = 0;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (!iconShaped(width, height, glyphHeight))
            continue;
        PixPtr part(pixaGetPix(parts.get(), i, L_CLONE));
        l_int32 area = 0;
        if (!part || pixCountPixels(part.get(), &area, nullptr) != 0 ||
            area < minFill * width * height)
            continue;
        // One flat colour lighter in grey than the text's ink. Small dense
        // Japanese glyphs fill their boxes as much, but in the text's colour
        // and shaded at every stroke's edge.
        const GreyHistogram colours = GreyHistogram::under(grey, part.get(), x, y);
        const int median = colours.median();
        if (median < ink + minLighterThanInk ||
            median - colours.percentile(0, 256, 0.25) > maxShading)
            continue;
        // The blob and the antialiased rim round it take the light ground.
        pixRasterop(grey, std::max(0, x - 1), std::max(0, y - 1), width + 2, height + 2, PIX_SET,
                    nullptr, 0, 0);
        ++blanked;
    }
    return blanked;
}

} // namespace IconBlobs
