#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// One request to the desktop portal: a method call whose answer comes later
// as the Response signal of a Request object. The request listens before it
// calls, so a fast portal cannot answer before anyone hears it.
class PortalRequest : public QObject {
    Q_OBJECT

public:
    // Calls `method` of `interface` on the portal with `arguments`, then
    // `options` with a handle_token added; answered() or failed() follows
    // once, after which the request deletes itself.
    static PortalRequest* send(const QString& interface, const QString& method,
                               QVariantList arguments, QVariantMap options, QObject* parent);

Q_SIGNALS:
    // 0 is success, 1 the person cancelled, 2 anything else.
    void answered(uint response, const QVariantMap& results);
    void failed(const QString& reason);

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    using QObject::QObject;
    void call(const QString& interface, const QString& method, QVariantList arguments,
              QVariantMap options);
    bool listen(const QString& path);
    void fail(const QString& reason);

    QString path_;
    bool done_ = false;
};
