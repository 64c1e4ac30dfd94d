#include "ImageDecoder.h"

#include "HeifImage.h"
#include "ImageScaling.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <mutex>
#include <optional>

namespace ImageDecoder {

namespace {

constexpr qint64 largePixels = 16'000'000;

// A screenshot of several screens at full size is more than Qt's default limit
// of 128 MB lets it decode; copying one must still work.
void allowLargePictures() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (QImageReader::allocationLimit() < 1024)
            QImageReader::setAllocationLimit(1024);
    });
}

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
    allowLargePictures();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (maxEdge) {
        // A large picture is decoded straight to the small size, row by row,
        // which keeps a 60-megapixel PNG to a few megabytes. An ordinary PNG is
        // faster read whole and shrunk once; JPEG and others shrink while
        // decoding at no cost. The header's size is before any rotation, like
        // the scaled size the reader takes; the fitted size is the same either way.
        const QSize size = reader.size();
        const QSize fitted = ImageScaling::fittedSize(size, *maxEdge);
        const bool large = qint64(size.width()) * size.height() > largePixels;
        if (size.isValid() && fitted != size && (large || reader.format() != "png") &&
            reader.supportsOption(QImageIOHandler::ScaledSize))
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
