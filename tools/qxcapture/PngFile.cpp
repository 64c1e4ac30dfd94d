#include "PngFile.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>
#include <optional>

namespace PngFile {

namespace {

// Why the file could not be written, or nothing once it is in place.
std::optional<QString> save(const QImage& image, const QString& path) {
    if (image.isNull())
        return QStringLiteral("the capture holds no pixels");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "png");
    if (!writer.write(image))
        return file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    // The last buffered bytes reach the disk only at the flush, and commit()
    // would rename a truncated file into place if a full disk refused them.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return file.errorString();
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

bool complain(const QString& path, const QString& reason) {
    std::fprintf(stderr, "qxcapture: cannot write %s: %s\n", qUtf8Printable(path),
                 qUtf8Printable(reason));
    return false;
}

} // namespace

bool write(const QImage& image, const QString& path) {
    const std::optional<QString> problem = save(image, path);
    return problem ? complain(path, *problem) : true;
}

bool adopt(const QString& source, const QString& path) {
    bool adopted = false;
    if (QImageReader(source).format() == "png") {
        QFile::remove(path);
        // A rename when both lie on one file system, else a copy, which removes
        // what it wrote when it fails.
        QFile copy(source);
        adopted = copy.rename(path) || copy.copy(path);
        if (!adopted)
            complain(path, copy.errorString());
    } else {
        adopted = write(QImage(source), path);
    }
    QFile::remove(source);
    return adopted;
}

} // namespace PngFile
