#pragma once

#include "FakeDBusService.h"

#include <QImage>
#include <QString>

#include <functional>

// Stands in for KWin's org.kde.KWin.ScreenShot2: each call (CaptureScreen with
// an output's name, CaptureInteractive for a window) is answered with the
// picture `answer` gives, described in the reply and written raw to the
// caller's pipe; or with the D-Bus error `answer` names instead.
class FakeKWinScreenShot {
public:
    struct Answer {
        QImage picture;
        QString errorName; // "org.kde.KWin.ScreenShot2.Error.Cancelled", …
    };
    // `method` and its first argument (the output's name or the kind of pick).
    using Picture = std::function<Answer(const QString& method, const QVariant& first)>;

    explicit FakeKWinScreenShot(Picture picture);

    bool registered() const { return service_.registered(); }
    const QList<QVariantList>& calls() const { return service_.calls; }

private:
    FakeDBusService service_;
};
