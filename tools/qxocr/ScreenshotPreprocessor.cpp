#include "ScreenshotPreprocessor.h"

#include "DarkPanels.h"
#include "FlatBackground.h"
#include "GreyHistogram.h"
#include "IconBlobs.h"
#include "RuleLines.h"
#include "ShapeBoxes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ScreenshotPreprocessor {

namespace {

// Strokes up to this wide are text to the background flattening: the bold
// headings of a screen at twice the scale.
constexpr int maxStrokeWidth = 7;
// Grid lines and separators as faint as this are painted out too: beside a
// glyph, even a light grey line changes what Tesseract reads.
constexpr int faintRule = 224;
// Ink closer than this to its background turns white. Grey menus draw their
// disabled items 30 greys darker than themselves; a dark-mode picture,
// inverted, has antialiased fringes as faint, which must stay out of its text.
constexpr int minInkContrast = 28;
constexpr int minInkContrastInverted = 32;

// The median height of the shapes that look like glyphs or parts of glyphs:
// for Latin text about the x-height, for Japanese somewhat more.
int typicalGlyphHeight(Pix* grey, int threshold) {
    std::vector<int> heights;
    for (const QRect& glyph : ShapeBoxes::glyphLike(grey, threshold, 4)) {
        if (glyph.height() <= 200)
            heights.push_back(glyph.height());
    }
    if (heights.empty())
        return 0;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights[heights.size() / 2];
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
    GreyHistogram counts = GreyHistogram::of(grey.get());
    if (options.invertDarkMode && counts.median() < 128) {
        pixInvert(grey.get(), grey.get());
        counts.invert();
        result.invertedWhole = true;
    }
    if (options.invertDarkPanels)
        result.invertedPanels = DarkPanels::invert(grey.get());
    if (options.blankIcons) {
        result.blankedIcons = IconBlobs::blank(grey.get(), counts.otsuThreshold());
        result.blankedIcons += IconBlobs::blankCheckBoxes(grey.get(), counts.median());
    }
    if (options.flattenBackground) {
        PixPtr flat =
            FlatBackground::flatten(grey.get(), maxStrokeWidth,
                                    result.invertedWhole ? minInkContrastInverted : minInkContrast);
        if (flat) {
            grey = std::move(flat);
            counts = GreyHistogram::of(grey.get());
        }
    }
    const int threshold = counts.otsuThreshold();
    result.glyphHeight = typicalGlyphHeight(grey.get(), threshold);
    if (options.removeRules && result.glyphHeight > 0)
        RuleLines::paintOut(grey.get(), std::max(threshold, faintRule), result.glyphHeight);
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
