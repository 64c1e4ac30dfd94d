#pragma once

struct Pix;

// Frames, grid lines and separators touching the text they surround make
// sparse-text layout lose that text (boxed keys, table cells, input fields).
namespace RuleLines {

// Paints out, in `grey` (8 bit, dark text on light), every thin run of ink
// darker than `threshold` and longer than any glyph of about `glyphHeight`
// pixels, across or down; the thicker stems of large headings stay.
void paintOut(Pix* grey, int threshold, int glyphHeight);

} // namespace RuleLines
