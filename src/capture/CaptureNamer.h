#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

// Names capture files after the moment the capture started:
// "Glimber 2026-12-05-14-03-09.png". Names have a resolution of one second, so
// a second capture started within the same second would take the first one's
// name while that file may not even exist yet (the user is still selecting).
// It gets "_2" before the ending instead ("Glimber 2026-12-05-14-03-09_2.png"),
// a third "_3", and so on: the first capture keeps the plain name and the names
// still sort in the order the captures started.
class CaptureNamer {
public:
    // A path in `folder` that no file has and that no earlier call handed out.
    // `ending` is ".png" or " scroll.png".
    QString reserve(const QString& folder, const QDateTime& startedAt, const QString& ending);

private:
    QString stamp_;
    QSet<QString> handedOut_; // paths handed out for stamp_; older ones can no longer collide
};
