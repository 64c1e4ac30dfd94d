#include "FullScreenRegionOverlay.h"

#include "RegionFrame.h"
#include "ScrollControls.h"

#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QWindow>

FullScreenRegionOverlay::FullScreenRegionOverlay(QScreen* screen)
    : QWidget(nullptr,
              Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , screen_(screen) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void FullScreenRegionOverlay::present(const QRect& frame, const QRect& bar,
                                      ScrollControls& controls) {
    const QPoint corner = screen_->geometry().topLeft();
    frame_ = frame.translated(-corner);
    if (controls_ != &controls) {
        controls_ = &controls;
        controls.setParent(this, Qt::Widget);
    }
    controls.setGeometry(QRect(bar.topLeft() - corner, bar.size()));
    controls.show();
    if (!isVisible()) {
        create();
        windowHandle()->setScreen(screen_);
        showFullScreen();
    }
    // The window's own mask, not the widget's, which would clip the frame's
    // painting too: it is the input region alone.
    windowHandle()->setMask(QRegion(controls.geometry()));
    update();
}

void FullScreenRegionOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    RegionFrame::paint(painter, frame_);
}
