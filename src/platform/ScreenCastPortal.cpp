#include "ScreenCastPortal.h"

#include "PortalRequest.h"
#include "PortalRequestPath.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>

namespace {

const QString interface = QStringLiteral("org.freedesktop.portal.ScreenCast");
constexpr uint monitorSource = 1;
constexpr uint hiddenCursor = 1;
// Kept until the person revokes it: the dialog appears once.
constexpr uint persistUntilRevoked = 2;

QString pathOf(const QVariant& value) {
    return value.canConvert<QDBusObjectPath>() ? value.value<QDBusObjectPath>().path()
                                               : value.toString();
}

QPoint pointOf(const QDBusArgument& pair) {
    int x = 0;
    int y = 0;
    pair.beginStructure();
    pair >> x >> y;
    pair.endStructure();
    return {x, y};
}

// The first of the a(ua{sv}) the portal started.
std::optional<ScreenCastPortal::Stream> firstStream(const QVariant& streams) {
    if (!streams.canConvert<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument list = streams.value<QDBusArgument>();
    std::optional<ScreenCastPortal::Stream> first;
    list.beginArray();
    while (!list.atEnd()) {
        ScreenCastPortal::Stream stream;
        QVariantMap properties;
        list.beginStructure();
        list >> stream.node >> properties;
        list.endStructure();
        const QVariant position = properties.value(QStringLiteral("position"));
        if (position.canConvert<QDBusArgument>())
            stream.position = pointOf(position.value<QDBusArgument>());
        const QVariant size = properties.value(QStringLiteral("size"));
        if (size.canConvert<QDBusArgument>()) {
            const QPoint extent = pointOf(size.value<QDBusArgument>());
            stream.size = QSize(extent.x(), extent.y());
        }
        if (!first)
            first = stream;
    }
    list.endArray();
    return first;
}

} // namespace

ScreenCastPortal::~ScreenCastPortal() {
    if (session_.isEmpty())
        return;
    QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
        QLatin1String(PortalRequestPath::service), session_,
        QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
}

void ScreenCastPortal::start(const QString& restoreToken) {
    restoreToken_ = restoreToken;
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), PortalRequestPath::newToken()}},
            &ScreenCastPortal::selectSources);
}

void ScreenCastPortal::request(const QString& method, QVariantList arguments, QVariantMap options,
                               void (ScreenCastPortal::*next)(const QVariantMap&)) {
    PortalRequest* request =
        PortalRequest::send(interface, method, std::move(arguments), std::move(options), this);
    connect(request, &PortalRequest::failed, this, &ScreenCastPortal::fail);
    connect(request, &PortalRequest::answered, this,
            [this, method, next](uint response, const QVariantMap& results) {
                if (response == 1 && !done_) {
                    done_ = true;
                    return Q_EMIT cancelled();
                }
                if (response != 0)
                    return fail(
                        QStringLiteral("the desktop refused the screen cast (%1)").arg(method));
                (this->*next)(results);
            });
}

void ScreenCastPortal::selectSources(const QVariantMap& created) {
    session_ = pathOf(created.value(QStringLiteral("session_handle")));
    QVariantMap options{{QStringLiteral("types"), monitorSource},
                        {QStringLiteral("multiple"), false},
                        {QStringLiteral("cursor_mode"), hiddenCursor},
                        {QStringLiteral("persist_mode"), persistUntilRevoked}};
    if (!restoreToken_.isEmpty())
        options.insert(QStringLiteral("restore_token"), restoreToken_);
    request(QStringLiteral("SelectSources"), {QVariant::fromValue(QDBusObjectPath(session_))},
            options, &ScreenCastPortal::startCast);
}

void ScreenCastPortal::startCast(const QVariantMap&) {
    request(QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(session_)), QString()},
            {}, &ScreenCastPortal::openRemote);
}

void ScreenCastPortal::openRemote(const QVariantMap& startedResults) {
    const std::optional<Stream> stream =
        firstStream(startedResults.value(QStringLiteral("streams")));
    if (!stream)
        return fail(QStringLiteral("the desktop started a screen cast without a stream"));
    const QString token = startedResults.value(QStringLiteral("restore_token")).toString();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(PortalRequestPath::service), QLatin1String(PortalRequestPath::path),
        interface, QStringLiteral("OpenPipeWireRemote"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap();
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, stream = *stream, token](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (done_)
                    return;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
                if (reply.isError())
                    return fail(QStringLiteral("the desktop gave no PipeWire connection: %1")
                                    .arg(reply.error().message()));
                // The descriptor in the reply closes with it: the receiver gets its own.
                const int fd = fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
                if (fd < 0)
                    return fail(QStringLiteral("the PipeWire connection could not be kept"));
                done_ = true;
                Q_EMIT started(fd, stream, token);
            });
}

void ScreenCastPortal::fail(const QString& reason) {
    if (done_)
        return;
    done_ = true;
    Q_EMIT failed(reason);
}
