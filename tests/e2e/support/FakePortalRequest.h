#pragma once

#include <QDBusArgument>
#include <QDBusMessage>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// How a fake portal answers a request: the Request object's path for the
// call's handle_token, and its Response signal a moment after the reply.
namespace FakePortalRequest {

QString pathOf(const QDBusMessage& call);
void respond(const QString& request, uint response, const QVariantMap& results);

} // namespace FakePortalRequest

// One entry of the lists portals answer with, (sa{sv}) or (ua{sv}): a key
// (a shortcut's id, a stream's PipeWire node) and its properties.
template <typename Key>
struct FakePortalEntry {
    Key key;
    QVariantMap properties;
};

Q_DECLARE_METATYPE(FakePortalEntry<uint>)
Q_DECLARE_METATYPE(FakePortalEntry<QString>)

template <typename Key>
QDBusArgument& operator<<(QDBusArgument& argument, const FakePortalEntry<Key>& entry) {
    argument.beginStructure();
    argument << entry.key << entry.properties;
    argument.endStructure();
    return argument;
}

template <typename Key>
const QDBusArgument& operator>>(const QDBusArgument& argument, FakePortalEntry<Key>& entry) {
    argument.beginStructure();
    argument >> entry.key >> entry.properties;
    argument.endStructure();
    return argument;
}
