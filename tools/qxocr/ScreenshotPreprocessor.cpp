#include "ScreenshotPreprocessor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ScreenshotPreprocessor {

namespace {

using Histogram = std::array<double, 256>;

struct BoxaDeleter {
    void operator()(Boxa* boxa) const { boxaDestroy(&boxa); }
};
struct PixaDeleter {
    void operator()(Pixa* pixa) const { pixaDestroy(&pixa); }
};
using BoxaPtr = std::unique_ptr<Boxa, BoxaDeleter>;
using PixaPtr = std::unique_ptr<Pixa, PixaDeleter>;

// Saturated accent colours (selection blue, button blue, purple sidebars) are
// darker than this; the light greys of toolbars and plain buttons are not.
constexpr int panelThreshold = 150;
// A panel is solid (its holes filled, it covers most of its box), mostly dark
// itself, holds light shapes (text) clearly brighter than itself, and is
// shaped like a bar, a button or a large area rather than like one bold glyph.
constexpr double minPanelFill = 0.85;
constexpr int minPanelContrast = 48;
constexpr int minPanelLightArea = 16;
constexpr double maxPanelLight = 0.5;
constexpr int minPanelHeight = 8;
constexpr int minPanelWidth = 24;
constexpr int largePanelSide = 100;
// Rules are longer than this, and than this many typical glyph heights, and
// at most this thick (or a sixth of a glyph height).
constexpr int minRuleLength = 20;
constexpr int ruleLengthInGlyphs = 3;
constexpr int minRuleThickness = 2;
constexpr int glyphsPerRuleThickness = 6;
// A light box in a panel (a window, an input field) is at least this large and solid.
constexpr int minLightBoxSide = 20;
constexpr double minLightBoxFill = 0.7;

bool panelShaped(int width, int height) {
    if (height < minPanelHeight || width < minPanelWidth)
        return false;
    return width >= 2 * height || (width >= largePanelSide && height >= largePanelSide);
}

Histogram histogramOf(Pix* grey) {
    Histogram counts{};
    const int width = pixGetWidth(grey), height = pixGetHeight(grey);
    const int wordsPerLine = pixGetWpl(grey);
    const l_uint32* data = pixGetData(grey);
    // Every pixel of a screenshot-sized picture; a sample of larger ones is as good.
    const int step = std::max(1, int(std::sqrt(double(width) * height / 4e6)));
    for (int y = 0; y < height; y += step) {
        const l_uint32* line = data + std::ptrdiff_t(y) * wordsPerLine;
        for (int x = 0; x < width; x += step)
            counts[GET_DATA_BYTE(line, x)] += 1;
    }
    return counts;
}

int medianOf(const Histogram& counts) {
    double total = 0;
    for (double count : counts)
        total += count;
    double seen = 0;
    for (int value = 0; value < 256; ++value) {
        seen += counts[value];
        if (seen * 2 >= total)
            return value;
    }
    return 255;
}

// Otsu's threshold: the split that best separates the two classes of grey.
int otsuThreshold(const Histogram& counts) {
    double total = 0, sum = 0;
    for (int value = 0; value < 256; ++value) {
        total += counts[value];
        sum += value * counts[value];
    }
    double below = 0, sumBelow = 0, best = -1;
    int threshold = 128;
    for (int value = 0; value < 255; ++value) {
        below += counts[value];
        sumBelow += value * counts[value];
        const double above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double meanBelow = sumBelow / below;
        const double meanAbove = (sum - sumBelow) / above;
        const double spread = below * above * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (spread > best) {
            best = spread;
            threshold = value + 1;
        }
    }
    return threshold;
}

Histogram histogramUnderMask(Pix* grey, Pix* mask, int left, int top) {
    Histogram counts{};
    const int greyWords = pixGetWpl(grey), maskWords = pixGetWpl(mask);
    const l_uint32* greyData = pixGetData(grey);
    const l_uint32* maskData = pixGetData(mask);
    for (int y = 0; y < pixGetHeight(mask); ++y) {
        const l_uint32* greyLine = greyData + std::ptrdiff_t(top + y) * greyWords;
        const l_uint32* maskLine = maskData + std::ptrdiff_t(y) * maskWords;
        for (int x = 0; x < pixGetWidth(mask); ++x) {
            if (GET_DATA_BIT(maskLine, x))
                counts[GET_DATA_BYTE(greyLine, left + x)] += 1;
        }
    }
    return counts;
}

// The grey value below which `fraction` of the counted pixels in [from, to) lie.
int percentile(const Histogram& counts, int from, int to, double fraction) {
    double total = 0;
    for (int value = from; value < to; ++value)
        total += counts[value];
    double seen = 0;
    for (int value = from; value < to; ++value) {
        seen += counts[value];
        if (seen >= fraction * total)
            return value;
    }
    return to - 1;
}

// Turns the panel's colour white and its light text black. A plain inversion
// would leave the panel mid-grey, right where Tesseract's own threshold falls.
bool invertUnderMask(Pix* grey, Pix* mask, int left, int top) {
    const Histogram counts = histogramUnderMask(grey, mask, left, top);
    const int ground = percentile(counts, 0, panelThreshold, 0.5);
    const int ink = percentile(counts, panelThreshold, 256, 0.9);
    if (ink - ground < minPanelContrast)
        return false;
    std::array<l_uint32, 256> mapped{};
    for (int value = 0; value < 256; ++value)
        mapped[value] = l_uint32(std::clamp(255 * (ink - value) / (ink - ground), 0, 255));
    const int greyWords = pixGetWpl(grey), maskWords = pixGetWpl(mask);
    l_uint32* greyData = pixGetData(grey);
    const l_uint32* maskData = pixGetData(mask);
    for (int y = 0; y < pixGetHeight(mask); ++y) {
        l_uint32* greyLine = greyData + std::ptrdiff_t(top + y) * greyWords;
        const l_uint32* maskLine = maskData + std::ptrdiff_t(y) * maskWords;
        for (int x = 0; x < pixGetWidth(mask); ++x) {
            if (GET_DATA_BIT(maskLine, x))
                SET_DATA_BYTE(greyLine, left + x, mapped[GET_DATA_BYTE(greyLine, left + x)]);
        }
    }
    return true;
}

bool solid(Pix* part, int width, int height, double minFill) {
    l_int32 area = 0;
    pixCountPixels(part, &area, nullptr);
    return area >= minFill * width * height;
}

// Light boxes inside a dark area (windows on a dark desktop, input fields in a
// dark sidebar) hold dark text of their own and must keep their colours.
void keepLightBoxes(Pix* mask, Pix* light) {
    Pixa* rawParts = nullptr;
    BoxaPtr boxes(pixConnComp(light, &rawParts, 4));
    PixaPtr parts(rawParts);
    if (!boxes || !parts)
        return;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (width < minLightBoxSide || height < minLightBoxSide)
            continue;
        PixPtr part(pixaGetPix(parts.get(), i, L_CLONE));
        if (solid(part.get(), width, height, minLightBoxFill))
            pixRasterop(mask, x, y, width, height, PIX_CLR, nullptr, 0, 0);
    }
}

// The part of a dark component to invert: the component with its holes (the
// light text), less any light boxes; null when it is no panel with text.
PixPtr panelMask(Pix* dark, Pixa* parts, Boxa* boxes, int index) {
    l_int32 x = 0, y = 0, width = 0, height = 0;
    boxaGetBoxGeometry(boxes, index, &x, &y, &width, &height);
    if (!panelShaped(width, height))
        return nullptr;
    PixPtr part(pixaGetPix(parts, index, L_CLONE));
    PixPtr mask(part ? pixFillClosedBorders(part.get(), 4) : nullptr);
    if (!mask || !solid(mask.get(), width, height, minPanelFill))
        return nullptr;
    Box* box = boxaGetBox(boxes, index, L_CLONE);
    PixPtr darkPart(pixClipRectangle(dark, box, nullptr));
    boxDestroy(&box);
    PixPtr light(darkPart ? pixSubtract(nullptr, mask.get(), darkPart.get()) : nullptr);
    if (!light)
        return nullptr;
    keepLightBoxes(mask.get(), light.get());
    pixAnd(light.get(), light.get(), mask.get());
    l_int32 maskArea = 0, lightArea = 0;
    pixCountPixels(mask.get(), &maskArea, nullptr);
    pixCountPixels(light.get(), &lightArea, nullptr);
    // A frame drawn around light content encloses mostly light: no panel.
    const bool mostlyDark = lightArea <= maxPanelLight * maskArea;
    return mostlyDark && lightArea >= minPanelLightArea ? std::move(mask) : nullptr;
}

int invertDarkPanels(Pix* grey) {
    PixPtr dark(pixThresholdToBinary(grey, panelThreshold));
    if (!dark)
        return 0;
    Pixa* rawParts = nullptr;
    BoxaPtr boxes(pixConnComp(dark.get(), &rawParts, 8));
    PixaPtr parts(rawParts);
    if (!boxes || !parts)
        return 0;
    int inverted = 0;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        PixPtr mask = panelMask(dark.get(), parts.get(), boxes.get(), i);
        if (!mask)
            continue;
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (invertUnderMask(grey, mask.get(), x, y))
            ++inverted;
    }
    return inverted;
}

// The median height of the shapes that look like glyphs or parts of glyphs:
// for Latin text about the x-height, for Japanese somewhat more.
int typicalGlyphHeight(Pix* grey, int threshold) {
    PixPtr dark(pixThresholdToBinary(grey, threshold));
    if (!dark)
        return 0;
    BoxaPtr boxes(pixConnCompBB(dark.get(), 8));
    if (!boxes)
        return 0;
    std::vector<int> heights;
    for (int i = 0; i < boxaGetCount(boxes.get()); ++i) {
        l_int32 x = 0, y = 0, width = 0, height = 0;
        boxaGetBoxGeometry(boxes.get(), i, &x, &y, &width, &height);
        if (height >= 4 && height <= 200 && width <= 3 * height)
            heights.push_back(height);
    }
    if (heights.empty())
        return 0;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights[heights.size() / 2];
}

// Long runs of ink along `across` x `down` (one of them 1) where the ink is no
// thicker than `thickness` the other way.
PixPtr thinRuns(Pix* dark, int across, int down, int thickness) {
    PixPtr runs(pixOpenBrick(nullptr, dark, across, down));
    const bool horizontal = across > down;
    const PixPtr thick(pixOpenBrick(nullptr, dark, horizontal ? 1 : thickness + 1,
                                    horizontal ? thickness + 1 : 1));
    if (!runs || !thick)
        return nullptr;
    pixSubtract(runs.get(), runs.get(), thick.get());
    return runs;
}

// Frames, grid lines and separators touching the text they surround make
// sparse-text layout lose that text. A rule is a thin run of ink longer than
// any glyph, across or down; the stems of large headings are thicker.
void removeRules(Pix* grey, int threshold, int glyphHeight) {
    const int length = std::max(minRuleLength, ruleLengthInGlyphs * glyphHeight);
    const int thickness = std::max(minRuleThickness, glyphHeight / glyphsPerRuleThickness);
    const PixPtr dark(pixThresholdToBinary(grey, threshold));
    if (!dark)
        return;
    for (const PixPtr& rules :
         {thinRuns(dark.get(), length, 1, thickness), thinRuns(dark.get(), 1, length, thickness)}) {
        if (rules)
            pixSetMasked(grey, rules.get(), 255);
    }
}

double scaleFor(int glyphHeight, Pix* grey, const Options& options) {
    if (glyphHeight <= 0)
        return 1;
    double scale = std::min(options.maxScale, options.targetGlyphHeight / glyphHeight);
    const double pixels = double(pixGetWidth(grey)) * pixGetHeight(grey);
    const double longest = std::max(pixGetWidth(grey), pixGetHeight(grey));
    scale = std::min({scale, std::sqrt(double(options.maxScaledPixels) / pixels),
                      options.maxScaledSide / longest});
    return scale > 1.1 ? scale : 1;
}

} // namespace

Result prepare(PixPtr grey, const Options& options) {
    Result result;
    Histogram counts = histogramOf(grey.get());
    if (options.invertDarkMode && medianOf(counts) < 128) {
        pixInvert(grey.get(), grey.get());
        std::reverse(counts.begin(), counts.end());
        result.invertedWhole = true;
    }
    result.glyphHeight = typicalGlyphHeight(grey.get(), otsuThreshold(counts));
    if (options.invertDarkPanels)
        result.invertedPanels = invertDarkPanels(grey.get());
    if (options.removeRules && result.glyphHeight > 0)
        removeRules(grey.get(), otsuThreshold(counts), result.glyphHeight);
    result.scale = scaleFor(result.glyphHeight, grey.get(), options);
    if (result.scale > 1) {
        PixPtr scaled(pixScaleGrayLI(grey.get(), float(result.scale), float(result.scale)));
        if (scaled)
            grey = std::move(scaled);
        else
            result.scale = 1;
    }
    result.pix = std::move(grey);
    return result;
}

} // namespace ScreenshotPreprocessor
