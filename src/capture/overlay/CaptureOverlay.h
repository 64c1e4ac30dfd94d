#pragma once

#include "FrozenDesktop.h"

#include <QWidget>

#include <optional>

// Covers one screen with its frozen image. In region mode the user drags a
// rectangle, watched by a crosshair and a live size in pixels; in window mode
// the window under the pointer lights up and a click takes it.
class CaptureOverlay : public QWidget {
    Q_OBJECT

public:
    enum class Mode { region, window };

    CaptureOverlay(const FrozenDesktop& desktop, std::size_t screenIndex, Mode mode);

    // Window mode: the window to light up, in root-window pixels (shared by all
    // overlays, since a window may span screens).
    void setHighlight(const std::optional<QRect>& window);

Q_SIGNALS:
    void regionSelected(const QRect& native);
    void pointedAt(const QPoint& native);
    void clickedAt(const QPoint& native);
    void cancelled();

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
    const FrozenScreen& frozen() const { return desktop_.screens()[screenIndex_]; }
    std::optional<QRect> currentSelection() const;
    void paintFrozen(QPainter& painter, const QRectF& localArea) const;
    void paintCrosshair(QPainter& painter) const;
    void paintSizeLabel(QPainter& painter, const QRect& native) const;
    bool draggedFarEnough(QPointF end) const;

    const FrozenDesktop& desktop_;
    std::size_t screenIndex_;
    Mode mode_;
    // The pointer as its window saw it. Widgets get positions rounded to whole
    // logical units, which on a scaled screen skips device pixels.
    QPointF precise_;
    std::optional<QPointF> dragStart_;
    std::optional<QPointF> pointer_;
    std::optional<QRect> highlight_;
};
