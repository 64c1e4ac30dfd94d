#pragma once

#include "DesktopShortcutState.h"
#include "GlobalShortcutsPortal.h"

#include <QObject>
#include <QString>

// Capture keys under Wayland through the desktop's own shortcuts: Glimber's
// commands are registered with the GlobalShortcutsPortal under their
// command-line names, with preferred keys, and run when the desktop says
// their keys were pressed. The person binds them once; the session's token
// is kept, so the desktop knows Glimber again at the next start.
class DesktopShortcuts : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Registers the commands. A session the desktop closes is not asked for
    // again before the next start of the program.
    void start();
    DesktopShortcutState state();

Q_SIGNALS:
    // The name of the command (as `glimber --NAME`) whose keys were pressed.
    void commandRequested(const QString& name);
    void stateChanged();
    void unavailable(const QString& reason);

private:
    GlobalShortcutsPortal portal_;
    DesktopShortcutState::Kind kind_ = DesktopShortcutState::Kind::notUsed;
    QList<GlobalShortcutsPortal::Binding> bindings_;
    QString problem_;
};
