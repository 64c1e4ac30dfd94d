#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

// One screen's picture: its place in the desktop's coordinate space (root
// pixels under X11, the compositor's logical layout under Wayland) and its
// own pixels, which under Wayland may be more than one to a unit.
struct ScreenPicture {
    QString name;
    QRect geometry;
    QImage image;
};

// What a source of screen pixels gave: every screen's picture, or why not.
struct ScreenGrab {
    enum class Outcome {
        taken,
        cancelled, // the person ended a dialog of the desktop's
        refused,   // the desktop does not let this program take the screen
        failed,
    };

    Outcome outcome = Outcome::failed;
    std::vector<ScreenPicture> screens;
    QString problem; // for anything but taken: why, in a sentence

    static ScreenGrab taken(std::vector<ScreenPicture> screens) {
        return {Outcome::taken, std::move(screens), {}};
    }
    static ScreenGrab failure(Outcome outcome, QString problem) {
        return {outcome, {}, std::move(problem)};
    }
};
