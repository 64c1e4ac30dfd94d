#include "RuleLines.h"

#include "PixPtr.h"

#include <algorithm>

namespace RuleLines {

namespace {

// Rules are longer than this, and than this many typical glyph heights, and
// at most this thick (or a sixth of a glyph height).
constexpr int minLength = 20;
constexpr int lengthInGlyphs = 3;
constexpr int minThickness = 2;
constexpr int glyphsPerThickness = 6;

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

} // namespace

void paintOut(Pix* grey, int threshold, int glyphHeight) {
    const int length = std::max(minLength, lengthInGlyphs * glyphHeight);
    const int thickness = std::max(minThickness, glyphHeight / glyphsPerThickness);
    const PixPtr dark(pixThresholdToBinary(grey, threshold));
    if (!dark)
        return;
    for (const PixPtr& rules :
         {thinRuns(dark.get(), length, 1, thickness), thinRuns(dark.get(), 1, length, thickness)}) {
        if (rules)
            pixSetMasked(grey, rules.get(), 255);
    }
}

} // namespace RuleLines
