#pragma once

#include "ScreenGrab.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

// The desktop portal's screenshot (org.freedesktop.portal.Screenshot). Asked
// to be interactive, the desktop shows its own dialog, in which the person
// picks what to take; otherwise it takes the whole desktop at once (GNOME
// asks the person the first time whether this program may). Either way it
// reports the file it wrote.
class ScreenshotPortal : public QObject {
    Q_OBJECT

public:
    struct Answer {
        ScreenGrab::Outcome outcome = ScreenGrab::Outcome::failed;
        QString file;    // when taken: the local file the portal wrote
        QString problem; // otherwise: why not
    };

    using QObject::QObject;

    // Asks the portal; finished() follows exactly once.
    void request(bool interactive);

Q_SIGNALS:
    void finished(const ScreenshotPortal::Answer& answer);

private:
    void onResponse(uint response, const QVariantMap& results);
    void finish(ScreenGrab::Outcome outcome, const QString& fileOrProblem);

    bool interactive_ = true;
    bool finished_ = false;
};
