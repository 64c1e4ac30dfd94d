#pragma once

#include "CaptureArea.h"

#include <QPointF>
#include <QString>

#include <optional>

enum class OverlayMode { region, window };

// What every screen's overlay shows at a moment. One state for all of them,
// since a drag that starts on one screen may end on another.
struct OverlayState {
    OverlayMode mode = OverlayMode::region;
    std::optional<QPointF> pointer;   // in desktop units, while over some overlay
    std::optional<QPointF> dragStart; // region mode, while the button is down
    std::optional<CaptureArea> lit;   // the selection, or the window under the pointer
    QString hint;                     // a line of advice at the top of each screen
};
