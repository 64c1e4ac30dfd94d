#include "OverlayLock.h"

#include "DesktopSession.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString lockPath(const QString& runtimeFolder) {
    const QString folder = runtimeFolder.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                               : runtimeFolder;
    // Each session has its own screens, so captures in two sessions may overlap.
    QString display = DesktopSession::fromEnvironment().display;
    for (QChar& c : display) {
        if (!c.isLetterOrNumber())
            c = u'_';
    }
    return QDir(folder).filePath(QStringLiteral("glimber-overlay%1.lock").arg(display));
}

} // namespace

OverlayLock::OverlayLock(const QString& runtimeFolder)
    : lock_(lockPath(runtimeFolder)) {
    // Only a dead holder makes the lock stale: a scrolling capture runs for minutes.
    lock_.setStaleLockTime(0);
}

bool OverlayLock::claim() {
    if (lock_.isLocked() || lock_.tryLock(0))
        return true;
    // Only another live overlay is a reason to give up. A lock file that cannot
    // be written (a full or read-only runtime folder) must not cost the person
    // the capture itself.
    return lock_.error() != QLockFile::LockFailedError;
}
