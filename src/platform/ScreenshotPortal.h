#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <optional>

// The desktop portal's interactive screenshot (org.freedesktop.portal.Screenshot),
// the way to capture the screen under Wayland: the desktop shows its own
// selection UI and reports the file it wrote.
class ScreenshotPortal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Asks the portal; finished() follows exactly once.
    void request();

Q_SIGNALS:
    // The local file the portal wrote, or nothing when the user cancelled or
    // no portal answered.
    void finished(const std::optional<QString>& file);

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    bool listenForResponse(const QString& requestPath);
    void finish(const std::optional<QString>& file);

    QString requestPath_;
    bool finished_ = false;
};
