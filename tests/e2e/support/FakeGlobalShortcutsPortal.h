#pragma once

#include "FakeDBusService.h"

#include <QString>
#include <QStringList>

// Stands in for the desktop portal's GlobalShortcuts interface (version 2):
// it opens a session, binds what it is asked to with the preferred keys as
// the bound ones, and lets the test press a shortcut or close the session.
class FakeGlobalShortcutsPortal {
public:
    FakeGlobalShortcutsPortal();

    bool registered() const { return service_.registered(); }
    // The names of the methods called so far, oldest first.
    QStringList methods() const;
    // The session token of the latest request, and the shortcuts (id, description,
    // preferred keys) of the first.
    QString sessionToken() const;
    QList<QStringList> boundShortcuts() const;

    // Emits Activated for `id` in the session, or closes the session.
    void press(const QString& id) const;
    void closeSession() const;

private:
    FakeDBusService service_;
    QList<QDBusMessage> messages_;
};
