#pragma once

#include "PixPtr.h"

// A screenshot's backgrounds are flat areas of many greys: white documents,
// light-grey toolbars, mid-grey menus. One global threshold cannot tell dark
// text from all of them at once; a mid-grey menu beside a white margin falls
// on the text's side and the whole menu reads as ink. Dividing each pixel by
// the background around it makes every background white; stretching each
// pixel between the darkest and the lightest grey around it makes dim text
// (disabled items, captions) as black as the rest, antialiased edges kept.
namespace FlatBackground {

// `grey` (8 bit, dark text on light) with its light backgrounds made white
// and its text black. Strokes up to about `strokeWidth` pixels wide count as
// text; ink less than `minInkContrast` darker than its background is a
// shadow, a faint separator or noise, and turns white; dark areas stay as
// they are. Null when there is no memory for it.
PixPtr flatten(Pix* grey, int strokeWidth, int minInkContrast);

// The grey of `pix`'s outermost pixels, the most common one: what a margin
// around the picture should look like.
int borderGrey(Pix* grey);

// `grey` with `width` pixels of `value` on every side; null without memory.
PixPtr pad(Pix* grey, int width, int value);

} // namespace FlatBackground
