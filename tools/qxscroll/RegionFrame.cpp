#include "RegionFrame.h"

#include <QPainter>

namespace {

const QColor colour(0x2f, 0x8c, 0xff);

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
    QPainter(this).fillRect(rect(), colour);
}

void RegionFrame::paint(QPainter& painter, const QRect& region) {
    const QRect outer = region.adjusted(-thickness, -thickness, thickness, thickness);
    painter.save();
    painter.setClipRegion(QRegion(outer) - QRegion(region));
    painter.fillRect(outer, colour);
    painter.restore();
}
