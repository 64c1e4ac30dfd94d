#include "GlobalShortcutsPortal.h"

#include "PortalRequest.h"
#include "PortalRequestPath.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString service = QLatin1String(PortalRequestPath::service);
const QString portalPath = QLatin1String(PortalRequestPath::path);
const QString interface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// The person may take minutes in the desktop's dialog; only the calls
// themselves are bounded, the answers come as signals.
constexpr int callTimeoutMs = 30'000;

// One element of the portal's a(sa{sv}): an id and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QList<GlobalShortcutsPortal::Binding> bindingsOf(const QDBusArgument& shortcuts) {
    QList<PortalShortcut> listed;
    shortcuts >> listed;
    QList<GlobalShortcutsPortal::Binding> bindings;
    for (const PortalShortcut& shortcut : listed)
        bindings.append(
            {shortcut.id,
             shortcut.properties.value(QStringLiteral("trigger_description")).toString()});
    return bindings;
}

// An object path the portal may send as such or as a string.
QString pathOf(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

void GlobalShortcutsPortal::start(const QString& sessionToken, const QList<Shortcut>& shortcuts) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    // Slots are matched to signals by their types' names, which QtDBus knows
    // only once they are registered.
    qRegisterMetaType<QDBusObjectPath>();
    sessionToken_ = sessionToken;
    shortcuts_ = shortcuts;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(QStringLiteral("there is no session bus to reach the desktop portal"));
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    auto* asked = new QDBusPendingCallWatcher(bus.asyncCall(get, callTimeoutMs), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (reply.isError())
            return fail(QStringLiteral("the desktop offers no global shortcuts portal"));
        version_ = reply.value().variant().toUInt();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.connect(service, portalPath, interface, QStringLiteral("Activated"), this,
                         SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap))) ||
            !bus.connect(service, portalPath, interface, QStringLiteral("ShortcutsChanged"), this,
                         SLOT(onShortcutsChanged(QDBusMessage))))
            return fail(QStringLiteral("cannot listen for the global shortcuts portal"));
        createSession();
    });
}

void GlobalShortcutsPortal::createSession() {
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), sessionToken_}},
            &GlobalShortcutsPortal::onSessionCreated);
}

void GlobalShortcutsPortal::onSessionCreated(uint response, const QVariantMap& results) {
    if (response != 0)
        return fail(QStringLiteral("the desktop refused a global shortcuts session"));
    session_ = pathOf(results.value(QStringLiteral("session_handle")));
    QDBusConnection::sessionBus().connect(
        service, session_, QStringLiteral("org.freedesktop.portal.Session"),
        QStringLiteral("Closed"), this, SLOT(onSessionClosed(QVariantMap)));
    bind();
}

void GlobalShortcutsPortal::bind() {
    QList<PortalShortcut> shortcuts;
    for (const Shortcut& shortcut : shortcuts_) {
        QVariantMap properties{{QStringLiteral("description"), shortcut.description}};
        if (!shortcut.preferredTrigger.isEmpty())
            properties.insert(QStringLiteral("preferred_trigger"), shortcut.preferredTrigger);
        shortcuts.append({shortcut.id, properties});
    }
    request(
        QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString()},
        {}, &GlobalShortcutsPortal::onBound);
}

void GlobalShortcutsPortal::onBound(uint response, const QVariantMap& results) {
    if (response != 0)
        return fail(QStringLiteral("the desktop did not bind Glimber's shortcuts"));
    const QVariant shortcuts = results.value(QStringLiteral("shortcuts"));
    Q_EMIT bound(shortcuts.canConvert<QDBusArgument>()
                     ? bindingsOf(shortcuts.value<QDBusArgument>())
                     : QList<Binding>());
}

void GlobalShortcutsPortal::configure() {
    if (!canConfigure())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, portalPath, interface,
                                                       QStringLiteral("ConfigureShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QString() << QVariantMap();
    QDBusConnection::sessionBus().asyncCall(call, callTimeoutMs);
}

void GlobalShortcutsPortal::request(const QString& method, QList<QVariant> arguments,
                                    QVariantMap options,
                                    void (GlobalShortcutsPortal::*answered)(uint,
                                                                            const QVariantMap&)) {
    PortalRequest* request =
        PortalRequest::send(interface, method, std::move(arguments), std::move(options), this);
    connect(request, &PortalRequest::answered, this, answered);
    connect(request, &PortalRequest::failed, this, [this](const QString& reason) {
        fail(QStringLiteral("the global shortcuts portal failed: %1").arg(reason));
    });
}

void GlobalShortcutsPortal::onActivated(const QDBusObjectPath& session, const QString& id,
                                        qulonglong, const QVariantMap&) {
    if (session.path() == session_)
        Q_EMIT activated(id);
}

void GlobalShortcutsPortal::onShortcutsChanged(const QDBusMessage& changed) {
    const QList<QVariant> arguments = changed.arguments();
    if (arguments.size() == 2 && pathOf(arguments[0]) == session_ &&
        arguments[1].canConvert<QDBusArgument>())
        Q_EMIT bound(bindingsOf(arguments[1].value<QDBusArgument>()));
}

void GlobalShortcutsPortal::onSessionClosed(const QVariantMap&) {
    session_.clear();
    fail(QStringLiteral("the desktop closed Glimber's global shortcuts session"));
}

void GlobalShortcutsPortal::fail(const QString& reason) {
    if (failed_)
        return;
    failed_ = true;
    Q_EMIT unavailable(reason);
}
