#include "TallPng.h"

#include "StripStore.h"

#include <QSaveFile>

#include <csetjmp>
#include <png.h>

namespace {

struct Sink {
    QSaveFile* file;
    bool failed = false;
};

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    if (!sink->failed &&
        sink->file->write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length))
        sink->failed = true;
}

void flushBytes(png_structp) {}

// Runs libpng on `rows`; false when libpng gave up or a row could not be had.
bool encode(png_structp png, png_infop info, StripStore& rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(rows.width()), png_uint_32(rows.rows()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // A level below the default: a tall capture is tens of megapixels, and the
    // files stay within a few per cent of the default's size.
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    // Rows are 0xffRRGGBB words in memory, that is B, G, R, unused byte.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    const bool all = rows.forEachRow([png](const uchar* row) {
        png_write_row(png, const_cast<png_bytep>(row));
        return true;
    });
    if (!all)
        return false;
    png_write_end(png, info);
    return true;
}

} // namespace

namespace TallPng {

QString write(StripStore& rows, const QString& path) {
    if (rows.rows() == 0 || rows.width() == 0)
        return QStringLiteral("nothing was captured");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return QStringLiteral("cannot start the PNG encoder");
    }
    Sink sink{&file};
    png_set_write_fn(png, &sink, writeBytes, flushBytes);
    const bool encoded = encode(png, info, rows);
    png_destroy_write_struct(&png, &info);
    if (!encoded)
        return rows.error().isEmpty() ? QStringLiteral("cannot encode the PNG") : rows.error();
    if (sink.failed || file.error() != QFileDevice::NoError || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace TallPng
