#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the tray menu opens after a left click: beside the icon, never over it.
// Below the icon in a top panel, above it in a bottom panel, beside it in a
// panel on the left or right edge; always inside the screen. Panels that report
// no icon geometry get the pointer.
QPoint trayMenuPosition(const QRect& icon, const QSize& menu, const QRect& screen,
                        const QPoint& pointer);
