#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>

#include <functional>

// Stands in for a desktop service on the test's session bus (notifications,
// the screenshot portal, a file manager): it owns `service`, takes every call
// to `path`, keeps it and replies with what `answer` gives, or with an error
// when that is `{errorReply(name)}`.
class FakeDBusService : public QDBusVirtualObject {
public:
    using Answer = std::function<QVariantList(const QDBusMessage& call)>;

    struct Error {
        QString name;
    };
    static QVariant errorReply(const QString& name) { return QVariant::fromValue(Error{name}); }

    FakeDBusService(const QString& service, const QString& path, Answer answer = {});
    ~FakeDBusService() override;

    bool registered() const { return registered_; }
    // The arguments of each call so far, oldest first.
    QList<QVariantList> calls;
    // Those of the calls with `count` arguments: one method's, where the others differ.
    QList<QVariantList> callsWith(qsizetype count) const;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override;

private:
    QString service_;
    QString path_;
    Answer answer_;
    bool registered_ = false;
};

Q_DECLARE_METATYPE(FakeDBusService::Error)
