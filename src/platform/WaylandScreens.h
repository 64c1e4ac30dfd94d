#pragma once

#include "ScreenGrab.h"

#include <QDeadlineTimer>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

// The compositor's outputs through a Wayland connection of our own, whatever
// Qt's platform is: under Xwayland the X server cannot read Wayland windows,
// but this connection can ask the compositor for every output's pixels.
class WaylandScreens {
public:
    struct Output {
        QString name;   // as the compositor names it ("eDP-1", "HEADLESS-2")
        QRect geometry; // in the compositor's logical layout
    };

    // Connects to the compositor that WAYLAND_DISPLAY names and learns its
    // outputs; nothing, with the reason in `problem`, when it cannot.
    static std::unique_ptr<WaylandScreens> connect(QDeadlineTimer deadline, QString* problem);
    ~WaylandScreens();
    WaylandScreens(const WaylandScreens&) = delete;
    WaylandScreens& operator=(const WaylandScreens&) = delete;

    std::vector<Output> outputs() const;

    // Whether the compositor offers wlroots' screencopy (sway, Hyprland, river, labwc).
    bool offersScreencopy() const;

    // Every output's pixels through screencopy, turned the way the output shows them.
    ScreenGrab copyOutputs(QDeadlineTimer deadline);

    struct Connection;

private:
    explicit WaylandScreens(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> connection_;
};
