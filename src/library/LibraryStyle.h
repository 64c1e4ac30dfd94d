#pragma once

#include <QColor>

class QWidget;

// The library's secondary ink: the text colour, partly transparent, for dates,
// hints and symbols, so it follows light and dark palettes alike.
namespace LibraryStyle {

inline constexpr double secondaryOpacity = 0.62;

QColor secondary(const QColor& ink, double opacity = secondaryOpacity);

// Draws the widget's text in the secondary ink.
void makeSecondary(QWidget& widget);

} // namespace LibraryStyle
