#pragma once

struct Pix;

// Icons beside words (a coloured circle before "Cancel", a gear before
// "Settings") turn grey as dark, solid blobs that Tesseract reads as
// characters of their own and takes the word's first letters into: "@srvtr"
// for the Japanese "Cancel", "lter" for "filter". Glyphs are strokes in the
// text's colour; an icon fills most of its box in a colour of its own. Such
// blobs are painted out with the background, before the background's
// flattening would hollow them into frames.
namespace IconBlobs {

// Works on `grey` (8 bit, dark text on light, `threshold` between them) in
// place; the number of blobs painted out.
int blank(Pix* grey, int threshold);

// Check boxes before labels read as "口", "DC" or "し", and their labels
// often twice. Works on `grey` in place, `ground` being the grey of the
// picture's background; the number of boxes painted out.
int blankCheckBoxes(Pix* grey, int ground);

} // namespace IconBlobs
