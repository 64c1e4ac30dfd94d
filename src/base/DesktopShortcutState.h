#pragma once

#include <QList>
#include <QString>

#include <functional>

// How the capture keys reach Glimber under Wayland, for the settings to show:
// through the desktop's own shortcuts, or not at all.
struct DesktopShortcutState {
    enum class Kind {
        notUsed,     // an X11 session, or the keyboards are read: the trigger key works
        waiting,     // the desktop has not answered yet
        bound,       // the desktop's shortcuts run Glimber's commands
        unavailable, // neither the desktop's shortcuts nor the keyboards can be used
    };
    struct Binding {
        QString description;
        QString keys; // as the desktop names them; empty when none is bound
    };

    Kind kind = Kind::notUsed;
    QList<Binding> bindings;
    QString problem; // unavailable: why the desktop's shortcuts cannot be used
    // Opens the desktop's dialog for changing the keys; empty where it cannot.
    std::function<void()> configure;
};
