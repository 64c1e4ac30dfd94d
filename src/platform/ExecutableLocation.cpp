#include "ExecutableLocation.h"

#include <QFileInfo>

namespace ExecutableLocation {

QString directory() {
    // /proc/self/exe works before (and without) a QCoreApplication, which
    // QCoreApplication::applicationDirPath() would need.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

} // namespace ExecutableLocation
