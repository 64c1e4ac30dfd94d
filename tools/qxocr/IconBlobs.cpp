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
// A check box is square, its frame filled in covers this share of its box at
// least (a round "O" 0.79)...
constexpr double minFrameFill = 0.88;
// ...and the frame itself at most this share of its box; it is found among
// what is this much darker than the picture's ground.
constexpr double maxFrameInk = 0.5;
constexpr int frameContrast = 40;
// Between a check box and its label lies at least this share of its height.
constexpr double minLabelGap = 0.3;

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

struct Blob {
    Pix* dark; // what is dark in the whole picture, 1 bit
    Pix* part; // its pixels, 1 bit
    int x, y, width, height;
    int ink; // the grey of the text's ink
};

// Icons beside words fill most of their box in one flat colour. Small dense
// Japanese glyphs fill their boxes as much, but in the text's colour and
// shaded at every stroke's edge.
bool solidIcon(Pix* grey, const Blob& blob) {
    l_int32 area = 0;
    if (pixCountPixels(blob.part, &area, nullptr) != 0 || area < minFill * blob.width * blob.height)
        return false;
    const GreyHistogram colours = GreyHistogram::under(grey, blob.part, blob.x, blob.y);
    const int median = colours.median();
    return median >= blob.ink + minLighterThanInk &&
           median - colours.percentile(0, 256, 0.25) <= maxShading;
}

bool blankArea(Pix* dark, int x, int y, int width, int height) {
    Box* box = boxCreateValid(x, y, width, height);
    if (box == nullptr)
        return true;
    PixPtr area(pixClipRectangle(dark, box, nullptr));
    boxDestroy(&box);
    l_int32 empty = 1;
    return !area || (pixZero(area.get(), &empty) == 0 && empty);
}

// A check box starts its line and keeps its label at a distance; the
// letters of a word stand close together.
bool standsBeforeLabel(const Blob& blob) {
    const int left = std::max(0, blob.x - blob.height);
    const int gap = std::max(1, int(blob.height * minLabelGap));
    return blankArea(blob.dark, left, blob.y, blob.x - left, blob.height) &&
           blankArea(blob.dark, blob.x + blob.width, blob.y, gap, blob.height);
}

// Check boxes: a thin square frame round an empty or ticked middle, in a
// grey lighter than the text. "口" is as hollow, but in the text's own
// colour; radio buttons are left alone, as round as an "O" in grey.
bool checkBox(Pix* grey, const Blob& blob) {
    l_int32 area = 0, filledArea = 0;
    PixPtr filled(pixFillClosedBorders(blob.part, 4));
    if (!filled || pixCountPixels(blob.part, &area, nullptr) != 0 ||
        pixCountPixels(filled.get(), &filledArea, nullptr) != 0)
        return false;
    const double box = double(blob.width) * blob.height;
    // Even its darkest quarter is lighter than the text: an "O" or a "口"
    // is lighter only at its antialiased rim.
    return filledArea >= minFrameFill * box && area <= maxFrameInk * box &&
           standsBeforeLabel(blob) &&
           GreyHistogram::under(grey, blob.part, blob.x, blob.y).percentile(0, 256, 0.25) >=
               blob.ink + minLighterThanInk;
}

// Paints out with white the blobs of `grey` darker than `threshold` that
// are shaped like icons and pass `isIcon`; the blob and the antialiased rim
// round it take the light ground.
int blankWhere(Pix* grey, int threshold, bool (*isIcon)(Pix*, const Blob&)) {
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
        if (!part || !isIcon(grey, {dark.get(), part.get(), x, y, width, height, ink}))
            continue;
        pixRasterop(grey, std::max(0, x - 1), std::max(0, y - 1), width + 2, height + 2, PIX_SET,
                    nullptr, 0, 0);
        ++blanked;
    }
    return blanked;
}

} // namespace

int blank(Pix* grey, int threshold) {
    return blankWhere(grey, threshold, solidIcon);
}

int blankCheckBoxes(Pix* grey, int ground) {
    // On a ground as dark as that, nothing is darker by enough to be a frame.
    if (ground < frameContrast)
        return 0;
    return blankWhere(grey, ground - frameContrast, checkBox);
}

} // namespace IconBlobs
