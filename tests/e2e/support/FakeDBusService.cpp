#include "FakeDBusService.h"

FakeDBusService::FakeDBusService(const QString& service, const QString& path, Answer answer)
    : service_(service)
    , path_(path)
    , answer_(std::move(answer)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    registered_ = bus.registerService(service_) && bus.registerVirtualObject(path_, this);
}

FakeDBusService::~FakeDBusService() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(path_);
    bus.unregisterService(service_);
}

QList<QVariantList> FakeDBusService::callsWith(qsizetype count) const {
    QList<QVariantList> matching;
    for (const QVariantList& call : calls) {
        if (call.size() == count)
            matching.append(call);
    }
    return matching;
}

bool FakeDBusService::handleMessage(const QDBusMessage& call, const QDBusConnection& bus) {
    calls.append(call.arguments());
    const QVariantList reply = answer_ ? answer_(call) : QVariantList();
    if (reply.size() == 1 && reply.first().metaType() == QMetaType::fromType<Error>())
        bus.send(
            call.createErrorReply(reply.first().value<Error>().name, QStringLiteral("refused")));
    else
        bus.send(call.createReply(reply));
    return true;
}
