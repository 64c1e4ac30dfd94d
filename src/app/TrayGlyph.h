#pragma once

#include <QColor>
#include <QIcon>
#include <QRect>

#include <vector>

// The tray's glyph: a viewfinder around lines of text, drawn rectangle by
// rectangle for the sizes panels use, so no edge falls between two pixels.
// Full-colour icons scaled down to 22 px blur; this stays sharp at 1x and 2x.
namespace TrayGlyph {

// The glyph's rectangles on a canvas of `size` pixels: 16, 22 and 24 have their
// own drawings; other sizes use the drawing that covers the most pixels at a
// whole factor (32 and 44 are 16 and 22 doubled), centred.
std::vector<QRect> rectangles(int size);

// Opacity of the square behind the glyph (see icon()).
inline constexpr int backdropAlpha = 0xd8;

// Light on dark panels, dark on light ones.
QColor colourForPanel(bool panelIsDark);

// Panels follow the desktop's colour scheme, except GNOME's top bar, which is
// dark whatever the scheme.
bool panelIsDark(const QByteArray& currentDesktop, const QColor& windowColour);

// The glyph in `colour` on a square of the opposite colour, at every size a
// panel asks for at 1x and 2x. The panel's colour is only guessed (an XEmbed
// tray does not tell it), and a dark glyph on a dark panel, or a light one on
// a light panel, would not be seen at all; where the guess is right, the
// square is close to the panel's own colour. (The installed
// glimber-symbolic.svg is drawn on the 16 px grid only; scaled to 22 it would
// blur, so the tray never uses it.)
QIcon icon(const QColor& colour);

} // namespace TrayGlyph
