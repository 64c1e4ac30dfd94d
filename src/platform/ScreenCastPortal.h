#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include <optional>

// A screen cast of one output through the desktop portal
// (org.freedesktop.portal.ScreenCast): the desktop lets the person choose the
// output in its own dialog, unless a restore token from an earlier cast lets
// it take the same one again, and hands over a PipeWire connection with the
// output's stream. The session ends with this object.
class ScreenCastPortal : public QObject {
    Q_OBJECT

public:
    struct Stream {
        uint node = 0; // the PipeWire node of the output's pictures
        // The output in the compositor's logical layout, when the desktop says.
        std::optional<QPoint> position;
        std::optional<QSize> size;
    };

    using QObject::QObject;
    ~ScreenCastPortal() override;

    // `restoreToken` from an earlier started() lets the desktop skip its
    // dialog; empty asks the person. started(), cancelled() or failed()
    // follows once.
    void start(const QString& restoreToken);

Q_SIGNALS:
    // `pipeWireFd` belongs to the receiver. `restoreToken` is for the next cast.
    void started(int pipeWireFd, const ScreenCastPortal::Stream& stream,
                 const QString& restoreToken);
    void cancelled();
    void failed(const QString& reason);

private:
    void request(const QString& method, QVariantList arguments, QVariantMap options,
                 void (ScreenCastPortal::*next)(const QVariantMap&));
    void selectSources(const QVariantMap& created);
    void startCast(const QVariantMap&);
    void openRemote(const QVariantMap& startedResults);
    void fail(const QString& reason);

    QString session_;
    QString restoreToken_;
    bool done_ = false;
};
