#pragma once

#include "PixPtr.h"

// Makes a screenshot easy for Tesseract, which reads dark text on a light
// ground at a comfortable size best: dark-mode pictures are inverted, dark
// panels with light text in them (selected rows, coloured buttons, title bars)
// turn light with dark text, grey backgrounds turn white and dim text dark,
// frames and grid lines are painted out, icons beside words are blanked, and
// small text is enlarged. Each step can be left out, for measuring what it
// brings.
namespace ScreenshotPreprocessor {

struct Options {
    bool invertDarkMode = true;
    bool invertDarkPanels = true;
    bool flattenBackground = true;
    bool removeRules = true;
    bool blankIcons = true;
    // Text is enlarged until its typical glyph is about this many pixels tall...
    double targetGlyphHeight = 20;
    // ...by at most this factor...
    double maxScale = 2;
    // ...and never beyond this many pixels in all or this length on a side
    // (Tesseract reads nothing longer).
    long long maxScaledPixels = 24'000'000;
    int maxScaledSide = 32767;
};

struct Result {
    PixPtr pix;
    double scale = 1;
    bool invertedWhole = false;
    int invertedPanels = 0;
    int blankedIcons = 0;
    // Median height of the glyph-sized dark shapes before scaling; 0 when none.
    int glyphHeight = 0;
};

// `grey` is an 8-bit picture; the result is the one to recognise.
Result prepare(PixPtr grey, const Options& options = {});

} // namespace ScreenshotPreprocessor
