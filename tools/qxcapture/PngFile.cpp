#include "PngFile.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace PngFile {

bool write(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (image.isNull() || !file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    return writer.write(image) && file.commit();
}

bool adopt(const QString& source, const QString& path) {
    bool adopted = false;
    if (QImageReader(source).format() == "png") {
        QFile::remove(path);
        // A rename when both lie on one file system, else a copy.
        adopted = QFile::rename(source, path) || QFile::copy(source, path);
    } else {
        adopted = write(QImage(source), path);
    }
    QFile::remove(source);
    return adopted;
}

} // namespace PngFile
