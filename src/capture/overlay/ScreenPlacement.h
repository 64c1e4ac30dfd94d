#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

// Where a window covering one screen sits on the desktop: Qt addresses it in
// logical units from its top-left corner, `unitsPerLocal` desktop units each
// (Qt's scale of the screen under X11, whose desktop units are pixels; one
// under Wayland, whose desktop units are Qt's logical ones already).
struct ScreenPlacement {
    QRect geometry; // in desktop units
    qreal unitsPerLocal = 1;

    QPointF toDesktop(QPointF local) const { return geometry.topLeft() + local * unitsPerLocal; }

    QRectF toLocal(const QRectF& area) const {
        const QRectF shifted = area.translated(-geometry.topLeft());
        return {shifted.topLeft() / unitsPerLocal, shifted.size() / unitsPerLocal};
    }
};
