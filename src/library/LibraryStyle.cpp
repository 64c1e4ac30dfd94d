#include "LibraryStyle.h"

#include <QWidget>

namespace LibraryStyle {

QColor secondary(const QColor& ink, double opacity) {
    QColor colour = ink;
    colour.setAlphaF(float(colour.alphaF() * opacity));
    return colour;
}

void makeSecondary(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, secondary(palette.color(QPalette::WindowText)));
    widget.setPalette(palette);
}

} // namespace LibraryStyle
