#include "SettingsLook.h"

#include <QWidget>

namespace SettingsLook {

void makeSecondary(QWidget& widget) {
    QPalette palette = widget.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        QColor colour = palette.color(group, QPalette::WindowText);
        colour.setAlphaF(0.6f);
        palette.setColor(group, QPalette::WindowText, colour);
    }
    widget.setPalette(palette);
}

void scaleFont(QWidget& widget, double factor, bool bold) {
    QFont font = widget.font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(qRound(font.pixelSize() * factor));
    font.setBold(bold);
    widget.setFont(font);
}

} // namespace SettingsLook
