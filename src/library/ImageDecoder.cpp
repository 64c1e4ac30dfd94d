#include "ImageDecoder.h"

#include "HeifImage.h"
#include "ImageScaling.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <optional>

namespace ImageDecoder {

namespace {

// Only regular, non-empty files are opened: a FIFO would block a pool thread.
std::optional<QByteArray> head(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(64);
}

QImage shrunk(const QImage& image, int maxEdge) {
    const QSize fitted = ImageScaling::fittedSize(image.size(), maxEdge);
    if (image.isNull() || fitted == image.size())
        return image;
    return image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage decode(const QString& path, std::optional<int> maxEdge) {
    const std::optional<QByteArray> start = head(path);
    if (!start)
        return {};
    if (HeifImage::recognises(*start)) {
        const QImage image = HeifImage::read(path);
        return maxEdge ? shrunk(image, *maxEdge) : image;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (maxEdge) {
        // The header's size is before any rotation, like the scaled size the
        // reader takes; the fitted size is the same either way round.
        const QSize size = reader.size();
        const QSize fitted = ImageScaling::fittedSize(size, *maxEdge);
        if (size.isValid() && fitted != size && reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(fitted);
    }
    QImage image;
    if (!reader.read(&image) || image.width() <= 0 || image.height() <= 0)
        return {};
    return maxEdge ? shrunk(image, *maxEdge) : image;
}

} // namespace

QImage read(const QString& path) {
    return decode(path, std::nullopt);
}

QImage readFitted(const QString& path, int maxEdge) {
    return decode(path, maxEdge);
}

} // namespace ImageDecoder
