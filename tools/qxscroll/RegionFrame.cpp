#include "RegionFrame.h"

#include <QPainter>

namespace {

constexpr int thickness = 3;

} // namespace

RegionFrame::RegionFrame(const QRect& region)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus) {
    const QRect outer = region.adjusted(-thickness, -thickness, thickness, thickness);
    setGeometry(outer);
    // A ring: the region itself is no part of this window.
    setMask(QRegion(rect()) - QRegion(region.translated(-outer.topLeft())));
}

void RegionFrame::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(0x2f, 0x8c, 0xff));
}
