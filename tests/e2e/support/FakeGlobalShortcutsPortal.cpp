#include "FakeGlobalShortcutsPortal.h"

#include "FakePortalRequest.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

const QString sessionPath = "/org/freedesktop/portal/desktop/session/test/glimber";

// The shortcuts of a BindShortcuts call: id, description, preferred keys.
QList<QStringList> shortcutsOf(const QDBusMessage& call) {
    QList<QStringList> shortcuts;
    const QDBusArgument list = call.arguments().at(1).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString id;
        QVariantMap properties;
        list.beginStructure();
        list >> id >> properties;
        list.endStructure();
        shortcuts.append({id, properties.value("description").toString(),
                          properties.value("preferred_trigger").toString()});
    }
    list.endArray();
    return shortcuts;
}

// One shortcut as the portal reports it bound: its id and properties.
using FakeShortcut = FakePortalEntry<QString>;

// What a desktop binds: the preferred keys, or none.
QVariant boundAsPreferred(const QList<QStringList>& asked) {
    QList<FakeShortcut> bound;
    for (const QStringList& shortcut : asked)
        bound.append(
            {shortcut[0], {{"description", shortcut[1]}, {"trigger_description", shortcut[2]}}});
    return QVariant::fromValue(bound);
}

} // namespace

FakeGlobalShortcutsPortal::FakeGlobalShortcutsPortal()
    : service_(
          "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
          [this](const QDBusMessage& call) -> QVariantList {
              qDBusRegisterMetaType<FakeShortcut>();
              qDBusRegisterMetaType<QList<FakeShortcut>>();
              messages_.append(call);
              if (call.member() == "Get")
                  return {QVariant::fromValue(QDBusVariant(uint(2)))};
              if (call.member() == "CreateSession") {
                  FakePortalRequest::respond(FakePortalRequest::pathOf(call), 0,
                                             {{"session_handle", sessionPath}});
                  return {QVariant::fromValue(QDBusObjectPath(FakePortalRequest::pathOf(call)))};
              }
              if (call.member() == "BindShortcuts") {
                  FakePortalRequest::respond(FakePortalRequest::pathOf(call), 0,
                                             {{"shortcuts", boundAsPreferred(shortcutsOf(call))}});
                  return {QVariant::fromValue(QDBusObjectPath(FakePortalRequest::pathOf(call)))};
              }
              return {};
          }) {}

QStringList FakeGlobalShortcutsPortal::methods() const {
    QStringList names;
    for (const QDBusMessage& message : messages_)
        names.append(message.member());
    return names;
}

QString FakeGlobalShortcutsPortal::sessionToken() const {
    for (auto message = messages_.crbegin(); message != messages_.crend(); ++message) {
        if (message->member() == "CreateSession")
            return qdbus_cast<QVariantMap>(message->arguments().first())
                .value("session_handle_token")
                .toString();
    }
    return {};
}

QList<QStringList> FakeGlobalShortcutsPortal::boundShortcuts() const {
    for (const QDBusMessage& message : messages_) {
        if (message.member() == "BindShortcuts")
            return shortcutsOf(message);
    }
    return {};
}

void FakeGlobalShortcutsPortal::press(const QString& id) const {
    QDBusMessage signal = QDBusMessage::createSignal(
        "/org/freedesktop/portal/desktop", "org.freedesktop.portal.GlobalShortcuts", "Activated");
    signal << QVariant::fromValue(QDBusObjectPath(sessionPath)) << id << qulonglong(1)
           << QVariantMap();
    QDBusConnection::sessionBus().send(signal);
}

void FakeGlobalShortcutsPortal::closeSession() const {
    QDBusMessage signal =
        QDBusMessage::createSignal(sessionPath, "org.freedesktop.portal.Session", "Closed");
    signal << QVariantMap();
    QDBusConnection::sessionBus().send(signal);
}
