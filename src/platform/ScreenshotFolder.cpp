#include "ScreenshotFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ScreenshotFolder {

namespace {

QString picturesFolder() {
    // The variable wins when it is set; otherwise Qt reads user-dirs.dirs the way
    // xdg-user-dirs writes it, falling back to ~/Pictures.
    const QString fromEnvironment = qEnvironmentVariable("XDG_PICTURES_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
}

} // namespace

std::optional<QString> systemLocation() {
    const QString pictures = picturesFolder();
    if (pictures.isEmpty())
        return std::nullopt;
    const QString screenshots = QDir(pictures).filePath(QStringLiteral("Screenshots"));
    if (!QFileInfo(screenshots).isDir())
        return std::nullopt;
    return QDir::cleanPath(screenshots);
}

} // namespace ScreenshotFolder
