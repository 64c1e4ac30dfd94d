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

bool FakeDBusService::handleMessage(const QDBusMessage& call, const QDBusConnection& bus) {
    calls.append(call.arguments());
    bus.send(call.createReply(answer_ ? answer_(call) : QVariantList()));
    return true;
}
