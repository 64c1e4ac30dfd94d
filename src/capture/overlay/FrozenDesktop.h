#pragma once

#include "CaptureArea.h"
#include "FrozenScreen.h"
#include "ScreenGrab.h"

#include <QImage>
#include <QPointF>
#include <QRect>

#include <optional>
#include <vector>

// Every screen and every top-level window as they were when the capture began,
// so what the user selects is exactly what they saw, whatever moved since.
// Screens may differ in scale; a picture is taken at the largest scale of the
// screens it touches, so a part inside one screen keeps that screen's own
// pixels and nothing is ever shrunk.
class FrozenDesktop {
public:
    FrozenDesktop(std::vector<FrozenScreen> screens, std::vector<QRect> windowsTopmostFirst);
    static FrozenDesktop fromPictures(const std::vector<ScreenPicture>& pictures,
                                      std::vector<QRect> windowsTopmostFirst = {});

    const std::vector<FrozenScreen>& screens() const { return screens_; }
    // The smallest rectangle around every screen, in desktop units.
    QRect bounds() const;

    // The area between two desktop points, with the pixels under both points,
    // within the desktop's bounds. It may span screens. `pointerStep` is how
    // far apart two pointer positions can be (an X server knows whole root
    // pixels only): a position stands for the whole step after it.
    CaptureArea selection(QPointF from, QPointF to, qreal pointerStep = 0) const;

    // The topmost window under a desktop point, within the desktop's bounds.
    std::optional<CaptureArea> windowAt(QPointF point) const;

    // Every screen in its place.
    CaptureArea whole() const;

    // The frozen pixels of an area; parts outside every screen stay transparent.
    QImage crop(const CaptureArea& capture) const;

private:
    CaptureArea snapped(QPointF from, QPointF to, qreal pointerStep, qreal scale) const;
    qreal scaleOver(const QRectF& area) const;

    std::vector<FrozenScreen> screens_;
    std::vector<QRect> windows_;
};
