#include "FreedesktopThumbnails.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <array>

namespace {

constexpr std::array<FreedesktopThumbnails::Flavor, 4> flavors{{
    {"normal", 128},
    {"large", 256},
    {"x-large", 512},
    {"xx-large", 1024},
}};

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");

QString md5Name(const QString& uri) {
    return QString::fromLatin1(
               QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

// Another program may have left anything there; only a matching URI and time count.
QImage readMatching(const QString& path, const FreedesktopThumbnails::Source& source) {
    QImageReader reader(path, "png");
    QImage image;
    if (!reader.read(&image))
        return {};
    if (image.text(uriKey) != source.uri || image.text(mtimeKey) != QString::number(source.mtime))
        return {};
    return image;
}

// Every folder made on the way is the user's alone, as the thumbnail folders must be.
bool makePrivateFolders(const QString& root, const QString& folder) {
    QString path = root;
    const QStringList below = folder.mid(root.size()).split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = -1; i < below.size(); ++i) {
        if (i >= 0)
            path += u'/' + below[i];
        if (QFileInfo(path).isDir())
            continue;
        if (!QDir().mkpath(path) ||
            !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return false;
    }
    return true;
}

} // namespace

FreedesktopThumbnails::FreedesktopThumbnails(QString root)
    : root_(std::move(root)) {}

QString FreedesktopThumbnails::defaultRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/thumbnails");
}

std::optional<FreedesktopThumbnails::Flavor> FreedesktopThumbnails::flavorFor(int edge) {
    for (const Flavor& flavor : flavors) {
        if (edge <= flavor.edge)
            return flavor;
    }
    return std::nullopt;
}

std::optional<FreedesktopThumbnails::Source> FreedesktopThumbnails::sourceOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return Source{QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded()),
                  info.lastModified().toSecsSinceEpoch(), info.size()};
}

QString FreedesktopThumbnails::thumbnailPath(const Flavor& flavor, const QString& uri) const {
    return root_ + u'/' + QLatin1String(flavor.folder) + u'/' + md5Name(uri);
}

QString FreedesktopThumbnails::failurePath(const QString& uri) const {
    return root_ + QStringLiteral("/fail/glimber-" GLIMBER_VERSION "/") + md5Name(uri);
}

bool FreedesktopThumbnails::holds(const QString& path) const {
    return QFileInfo(path).absoluteFilePath().startsWith(root_ + u'/');
}

QImage FreedesktopThumbnails::find(const Flavor& flavor, const Source& source) const {
    return readMatching(thumbnailPath(flavor, source.uri), source);
}

bool FreedesktopThumbnails::failedBefore(const Source& source) const {
    return !readMatching(failurePath(source.uri), source).isNull();
}

bool FreedesktopThumbnails::store(const Flavor& flavor, const Source& source,
                                  const QImage& thumbnail) const {
    return write(thumbnailPath(flavor, source.uri), source, thumbnail);
}

bool FreedesktopThumbnails::storeFailure(const Source& source) const {
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    return write(failurePath(source.uri), source, mark);
}

bool FreedesktopThumbnails::write(const QString& path, const Source& source, QImage image) const {
    if (!makePrivateFolders(root_, QFileInfo(path).absolutePath()))
        return false;
    image.setText(uriKey, source.uri);
    image.setText(mtimeKey, QString::number(source.mtime));
    image.setText(QStringLiteral("Thumb::Size"), QString::number(source.bytes));
    image.setText(QStringLiteral("Software"), QStringLiteral("Glimber " GLIMBER_VERSION));
    // Readers must never see half a file: the picture goes to a temporary file
    // that replaces the old one only once it is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || file.error() != QFileDevice::NoError ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
