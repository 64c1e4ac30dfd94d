#include "FakeScreenCastPortal.h"

#include "FakePortalRequest.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString sessionPath = "/org/freedesktop/portal/desktop/session/test/cast";

// A stream: its PipeWire node and properties.
using FakeStream = FakePortalEntry<uint>;

// A pair of integers, the (ii) of a stream's position and size.
QDBusArgument pair(int first, int second) {
    QDBusArgument argument;
    argument.beginStructure();
    argument << first << second;
    argument.endStructure();
    return argument;
}

// A fresh connection to PipeWire, which is all OpenPipeWireRemote hands over.
QDBusUnixFileDescriptor connectTo(const QString& socket) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = socket.toLocal8Bit();
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    QDBusUnixFileDescriptor descriptor(fd);
    ::close(fd); // the descriptor keeps a copy of its own
    return descriptor;
}

} // namespace

FakeScreenCastPortal::FakeScreenCastPortal(Output output, QString socket)
    : output_(std::move(output))
    , socket_(std::move(socket))
    , service_("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
               [this](const QDBusMessage& call) { return answer(call); }) {
    qDBusRegisterMetaType<FakeStream>();
    qDBusRegisterMetaType<QList<FakeStream>>();
}

QVariantList FakeScreenCastPortal::answer(const QDBusMessage& call) {
    const QString method = call.member();
    if (method == "OpenPipeWireRemote")
        return {QVariant::fromValue(connectTo(socket_))};
    const QString request = FakePortalRequest::pathOf(call);
    if (method == "CreateSession") {
        FakePortalRequest::respond(request, 0, {{"session_handle", sessionPath}});
    } else if (method == "SelectSources") {
        tokensAsked_.append(
            qdbus_cast<QVariantMap>(call.arguments().last()).value("restore_token").toString());
        FakePortalRequest::respond(request, 0, {});
    } else if (method == "Start") {
        stream_ = std::make_unique<OutputPictureStream>(output_.picture, output_.pixels);
        const uint node = stream_->start(socket_);
        const QRect& place = output_.geometry;
        const FakeStream stream{
            node,
            {{"position", QVariant::fromValue(pair(place.x(), place.y()))},
             {"size", QVariant::fromValue(pair(place.width(), place.height()))}}};
        FakePortalRequest::respond(
            request, node ? 0 : 2,
            {{"streams", QVariant::fromValue(QList<FakeStream>{stream})},
             {"restore_token", QStringLiteral("restore-%1").arg(tokensAsked_.size())}});
    }
    return {QVariant::fromValue(QDBusObjectPath(request))};
}

QStringList FakeScreenCastPortal::restoreTokensAsked() const {
    return tokensAsked_;
}

void FakeScreenCastPortal::endStream() {
    if (stream_)
        stream_->stop();
}
