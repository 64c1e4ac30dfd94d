#include "ImageFile.h"

#include <QFileInfo>

#include <algorithm>
#include <mutex>

namespace {

// Rows converted at a time, so no second full-size colour copy ever exists.
constexpr int stripRows = 256;

// Qt refuses allocations beyond a global limit; ours is the pixel budget at
// 8 bytes a pixel (16-bit RGBA), so the budget alone decides.
void raiseQtAllocationLimit(qint64 maxPixels) {
    static std::once_flag once;
    std::call_once(once, [maxPixels] {
        const qint64 megabytes = maxPixels * 8 / (1024 * 1024) + 1;
        QImageReader::setAllocationLimit(int(std::min<qint64>(megabytes, 1 << 20)));
    });
}

// Opening a FIFO or a device could block or never end, so only regular files pass.
QString unusable(const QFileInfo& info) {
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("is a folder");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    if (info.size() == 0)
        return QStringLiteral("empty file");
    return {};
}

void greyRowOverWhite(const QRgb* in, l_uint32* out, int width) {
    for (int x = 0; x < width; ++x) {
        // Premultiplied colour over white: each channel gains what alpha left uncovered.
        const QRgb pixel = in[x];
        const int white = 255 - qAlpha(pixel);
        SET_DATA_BYTE(out, x,
                      qGray(qRed(pixel) + white, qGreen(pixel) + white, qBlue(pixel) + white));
    }
}

bool isPremultipliedArgb(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

ImageFile::ImageFile(const QString& path, qint64 maxPixels)
    : maxPixels_(maxPixels)
    , file_(path) {
    open(path);
    if (error_.isEmpty())
        checkSize();
}

void ImageFile::open(const QString& path) {
    error_ = unusable(QFileInfo(path));
    if (!error_.isEmpty())
        return;
    if (!file_.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("unreadable: ") + file_.errorString();
        return;
    }
    if (HeifFile::recognises(file_.peek(64))) {
        file_.close();
        heif_ = std::make_unique<HeifFile>(path);
        error_ = heif_->error();
        size_ = heif_->size();
        return;
    }
    raiseQtAllocationLimit(maxPixels_);
    reader_ = std::make_unique<QImageReader>(&file_);
    reader_->setDecideFormatFromContent(true);
    reader_->setAutoTransform(true);
    if (!reader_->canRead()) {
        error_ = QStringLiteral("not an image");
        return;
    }
    size_ = reader_->size();
}

qint64 ImageFile::pixelCount() const {
    return size_.isValid() ? qint64(size_.width()) * size_.height() : maxPixels_;
}

void ImageFile::checkSize() {
    if (pixelCount() > maxPixels_) {
        error_ = QStringLiteral("too large: %1x%2 pixels").arg(size_.width()).arg(size_.height());
    }
}

QImage ImageFile::decodeColour() {
    if (heif_) {
        QImage image = heif_->decode();
        error_ = heif_->error();
        return image;
    }
    QImage image;
    if (!reader_->read(&image)) {
        error_ = QStringLiteral("cannot decode: ") + reader_->errorString();
        return {};
    }
    return image;
}

DecodedImage ImageFile::decode() {
    if (!error_.isEmpty())
        return DecodedImage::failure(error_);
    QImage colour = decodeColour();
    if (!error_.isEmpty())
        return DecodedImage::failure(error_);
    // Some formats only know their size once decoded.
    size_ = colour.size();
    checkSize();
    if (!error_.isEmpty())
        return DecodedImage::failure(error_);
    PixPtr grey = greyOverWhite(colour);
    if (!grey)
        return DecodedImage::failure(QStringLiteral("out of memory"));
    return {std::move(grey), {}};
}

PixPtr ImageFile::greyOverWhite(const QImage& colour) {
    PixPtr grey(pixCreate(colour.width(), colour.height(), 8));
    if (!grey)
        return nullptr;
    l_uint32* data = pixGetData(grey.get());
    const int wordsPerLine = pixGetWpl(grey.get());
    const bool direct = isPremultipliedArgb(colour.format());
    for (int top = 0; top < colour.height(); top += stripRows) {
        const int rows = std::min(stripRows, colour.height() - top);
        const QImage strip = direct ? QImage()
                                    : colour.copy(0, top, colour.width(), rows)
                                          .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < rows; ++y) {
            const uchar* line = direct ? colour.constScanLine(top + y) : strip.constScanLine(y);
            greyRowOverWhite(reinterpret_cast<const QRgb*>(line),
                             data + std::ptrdiff_t(top + y) * wordsPerLine, colour.width());
        }
    }
    return grey;
}
