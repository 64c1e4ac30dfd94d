#pragma once

#include "DecodedImage.h"
#include "HeifFile.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>

#include <memory>

// One image file on its way to recognition: opening reads only the header, so
// a picture too large for the pixel budget is refused before any pixel is
// decoded. Any format Qt reads (png, jpeg, gif, tiff, webp, ...) or HEIF
// through libheif, decided by the content rather than the name; GIF and TIFF
// give their first frame.
class ImageFile {
public:
    // Beyond this a picture is refused: 60 megapixels covers a 6K screen and
    // scrolling captures ten screens tall.
    static constexpr qint64 defaultMaxPixels = 60'000'000;

    explicit ImageFile(const QString& path, qint64 maxPixels = defaultMaxPixels);

    // Empty when the header was read and the picture is within the budget.
    const QString& error() const { return error_; }
    // As the header says; the whole budget when it does not say.
    qint64 pixelCount() const;

    // The picture as 8-bit grey, transparent parts laid over white.
    DecodedImage decode();

    // Grey luminance of `colour`, transparent parts laid over white; null when
    // there is no memory for it.
    static PixPtr greyOverWhite(const QImage& colour);

private:
    void open(const QString& path);
    void checkSize();
    QImage decodeColour();

    qint64 maxPixels_;
    QFile file_;
    std::unique_ptr<QImageReader> reader_;
    std::unique_ptr<HeifFile> heif_;
    QSize size_;
    QString error_;
};
