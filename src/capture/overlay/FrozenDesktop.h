#pragma once

#include "FrozenScreen.h"

#include <QImage>
#include <QPointF>
#include <QRect>

#include <optional>
#include <vector>

// Every screen and every top-level window as they were when the capture began,
// so what the user selects is exactly what they saw, whatever moved since.
class FrozenDesktop {
public:
    FrozenDesktop(std::vector<FrozenScreen> screens, std::vector<QRect> windowsTopmostFirst);

    const std::vector<FrozenScreen>& screens() const { return screens_; }

    // The root-window pixels between two points of one screen's overlay, the
    // pixels under both points included, clipped to that screen: a drag never reaches into a
    // neighbour, whose scale may differ.
    QRect selection(std::size_t screen, QPointF from, QPointF to) const;

    // The topmost window under a root-window pixel.
    std::optional<QRect> windowAt(QPoint native) const;

    // The frozen pixels of a root-window rectangle, from as many screens as it
    // covers; parts outside every screen stay transparent.
    QImage crop(const QRect& native) const;

private:
    std::vector<FrozenScreen> screens_;
    std::vector<QRect> windows_;
};
