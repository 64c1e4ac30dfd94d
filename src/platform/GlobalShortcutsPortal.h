#pragma once

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

// The desktop's own global shortcuts (org.freedesktop.portal.GlobalShortcuts):
// the program names its actions, the desktop lets the person bind keys to
// them in its own settings and tells the program when one is pressed. Where
// a Wayland desktop offers it, this is the way to global keys that needs no
// access to every keyboard.
class GlobalShortcutsPortal : public QObject {
    Q_OBJECT

public:
    struct Shortcut {
        QString id;
        QString description;
        QString preferredTrigger; // in the portal's notation, e.g. "SHIFT+Print"; may be empty
    };
    struct Binding {
        QString id;
        QString trigger; // as the desktop describes the keys bound, empty when none
    };

    using QObject::QObject;

    // Opens a session with `sessionToken` (the same token each start, so the
    // desktop knows the session again) and binds `shortcuts`. Either bound()
    // or unavailable() follows.
    void start(const QString& sessionToken, const QList<Shortcut>& shortcuts);

    // Whether the desktop's own dialog for changing the keys can be opened
    // (portal version 2 and later), once bound.
    bool canConfigure() const { return version_ >= 2 && !session_.isEmpty(); }
    // Opens that dialog; the new keys come through bound().
    void configure();

Q_SIGNALS:
    void bound(const QList<GlobalShortcutsPortal::Binding>& bindings);
    void activated(const QString& id);
    // No portal, a refusal, or a session the desktop closed; `reason` says which.
    void unavailable(const QString& reason);

private Q_SLOTS:
    void onSessionCreated(uint response, const QVariantMap& results);
    void onBound(uint response, const QVariantMap& results);
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);
    // (o session, a(sa{sv}) shortcuts), taken whole: QtDBus matches no slot to a(sa{sv}).
    void onShortcutsChanged(const QDBusMessage& changed);
    void onSessionClosed(const QVariantMap& details);

private:
    void createSession();
    void bind();
    // Calls `method` with a fresh request token; its answer goes to `answered`.
    void request(const QString& method, QList<QVariant> arguments, QVariantMap options,
                 void (GlobalShortcutsPortal::*answered)(uint, const QVariantMap&));
    void fail(const QString& reason);

    QString sessionToken_;
    QList<Shortcut> shortcuts_;
    QString session_; // the session's object path, once created
    uint version_ = 0;
    bool failed_ = false;
};
