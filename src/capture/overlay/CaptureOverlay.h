#pragma once

#include "FrozenDesktop.h"
#include "OverlayState.h"
#include "ScreenPlacement.h"

#include <QWidget>

// Covers an area of the desktop, one screen as a rule, with its frozen
// picture, dimmed, and shows the shared state over it: the part of the
// selection (or of the window under the pointer) that falls in it, a
// crosshair, the size in pixels.
// Pointer events go out in desktop units; what they mean is the owner's
// business, since a drag may go on over another screen's overlay.
class CaptureOverlay : public QWidget {
    Q_OBJECT

public:
    CaptureOverlay(const FrozenDesktop& desktop, ScreenPlacement placement,
                   const OverlayState& state);

    const ScreenPlacement& placement() const { return placement_; }

Q_SIGNALS:
    void pressed(QPointF desktopPoint, Qt::MouseButton button);
    void moved(QPointF desktopPoint);
    void released(QPointF desktopPoint, Qt::MouseButton button);
    void pointerLeft();
    void escapePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintFrozen(QPainter& painter, const QRectF& area) const;
    void paintLit(QPainter& painter, const CaptureArea& lit) const;
    void paintCrosshair(QPainter& painter, QPointF local) const;
    void paintSizeLabel(QPainter& painter, QPointF local, QSize pixels) const;
    void paintHint(QPainter& painter) const;

    const FrozenDesktop& desktop_;
    ScreenPlacement placement_;
    const OverlayState& state_;
    // The pointer as its window saw it. Widgets get positions rounded to whole
    // logical units, which on a scaled screen skips device pixels.
    QPointF precise_;
};
