#include "CaptureNamer.h"

#include <QDir>
#include <QFileInfo>

QString CaptureNamer::reserve(const QString& folder, const QDateTime& startedAt,
                              const QString& ending) {
    const QString stamp = startedAt.toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
    if (stamp != stamp_) {
        stamp_ = stamp;
        handedOut_.clear();
    }
    const QString base = QDir(folder).filePath(QStringLiteral("Glimber ") + stamp);
    QString path = base + ending;
    for (int n = 2; handedOut_.contains(path) || QFileInfo::exists(path); ++n)
        path = base + QStringLiteral("_%1").arg(n) + ending;
    handedOut_.insert(path);
    return path;
}
