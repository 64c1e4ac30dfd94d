#pragma once

struct Pix;

// Light text on dark panels (selected rows, coloured buttons, dark title bars
// and sidebars in a light window) is lost on Tesseract, which reads dark on
// light. Each such panel is turned into a white panel with dark text.
namespace DarkPanels {

// Works on `grey` (8 bit, mostly light) in place; the number of panels turned.
int invert(Pix* grey);

} // namespace DarkPanels
