#pragma once

#include "DesktopSession.h"
#include "ScreenGrab.h"
#include "ScreenSource.h"

#include <QDeadlineTimer>
#include <QRect>

#include <memory>
#include <optional>
#include <vector>

class WaylandScreens;

// The desktop as it is at this moment, from the best source the session
// offers: every screen's picture in its place, and where the windows are.
class DesktopFreezer {
public:
    explicit DesktopFreezer(DesktopSession session);
    ~DesktopFreezer();
    DesktopFreezer(const DesktopFreezer&) = delete;
    DesktopFreezer& operator=(const DesktopFreezer&) = delete;

    // Reaches the session's display server; false, with the reason, when there
    // is none to reach. Call it before Qt's application object exists, which
    // would abort the program instead.
    bool connect(QDeadlineTimer deadline, QString* problem);

    const DesktopSession& session() const { return session_; }

    // The source to use, from what the session offers (and QXCAPTURE_SOURCE).
    ScreenSource choose(bool interactive) const;

    // Every screen's picture from `source`, or why not, by the deadline.
    ScreenGrab grab(ScreenSource source, QDeadlineTimer deadline) const;

    // The visible windows, topmost first, in desktop units; nothing where the
    // desktop does not tell a program where other programs' windows are.
    std::optional<std::vector<QRect>> windows(ScreenSource source) const;

private:
    std::vector<ScreenPicture> layout() const;
    ScreenGrab grabX11() const;
    ScreenGrab grabThroughPortal(QDeadlineTimer deadline) const;

    DesktopSession session_;
    std::unique_ptr<WaylandScreens> wayland_;
};

// Cuts a picture of the whole desktop into one per screen of `layout` (whose
// pictures are empty): the picture spans the layout's bounds at one scale.
std::optional<std::vector<ScreenPicture>> splitDesktopPicture(const QImage& whole,
                                                              std::vector<ScreenPicture> layout);
