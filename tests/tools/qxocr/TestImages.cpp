#include "TestImages.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdio>
#include <libheif/heif.h>
#include <png.h>
#include <vector>
#include <zlib.h>

namespace TestImages {

namespace {

QFont fontFor(const TextStyle& style) {
    QFont font(style.family);
    font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    return font;
}

void appendBigEndian(QByteArray& out, quint32 value) {
    out.append(char(value >> 24))
        .append(char(value >> 16))
        .append(char(value >> 8))
        .append(char(value));
}

void appendChunk(QByteArray& out, const char* type, const QByteArray& data) {
    appendBigEndian(out, quint32(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    out += typed;
    appendBigEndian(out, quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()),
                                       uInt(typed.size()))));
}

// GIF image data without compression: a clear code before every second pixel
// keeps the code width at three bits for a two-colour palette.
QByteArray gifPixels(const QImage& frame) {
    constexpr int clear = 4, end = 5, width = 3;
    std::vector<int> codes;
    int sinceClear = 2;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (sinceClear == 2) {
                codes.push_back(clear);
                sinceClear = 0;
            }
            codes.push_back(qGray(frame.pixel(x, y)) < 128 ? 0 : 1);
            ++sinceClear;
        }
    }
    codes.push_back(end);
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= quint32(code) << count;
        count += width;
        while (count >= 8) {
            packed.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        packed.append(char(bits & 0xff));
    QByteArray blocks(1, char(2)); // minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        blocks.append(char(block.size())).append(block);
    }
    return blocks.append(char(0));
}

void appendLittleEndian16(QByteArray& out, int value) {
    out.append(char(value & 0xff)).append(char(value >> 8));
}

} // namespace

QImage text(const QStringList& lines, const TextStyle& style) {
    const QFont font = fontFor(style);
    const QFontMetrics metrics(font);
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int margin = style.pixelSize;
    const int lineHeight = metrics.height() * 3 / 2;
    QImage image(width + 2 * margin, int(lines.size()) * lineHeight + 2 * margin,
                 QImage::Format_RGB32);
    image.fill(style.paper);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(style.ink);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(margin, margin + int(i) * lineHeight + metrics.ascent(), lines[i]);
    return image;
}

QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::black);
    return image;
}

void writeTruncatedPng(const QString& path, double fraction) {
    QImage busy(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < busy.height(); ++y) {
        for (int x = 0; x < busy.width(); ++x)
            busy.setPixel(x, y, qRgb((x * 7) % 256, (y * 13) % 256, (x * y) % 256));
    }
    ASSERT_TRUE(busy.save(path, "png"));
    QFile file(path);
    ASSERT_TRUE(file.resize(qint64(double(file.size()) * fraction)));
}

void writeInterlacedPng(const QString& path, const QImage& image) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_interlace_handling(png);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<png_bytep> rows;
    for (int y = 0; y < rgb.height(); ++y)
        rows.push_back(const_cast<png_bytep>(rgb.constScanLine(y)));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void writeOversizedPngHeader(const QString& path, quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.append(char(8)).append(char(0)).append(char(0)).append(char(0)).append(char(0));
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", qCompress(QByteArray(64, '\0')).mid(4));
    appendChunk(png, "IEND", {});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(png);
}

void writeGif(const QString& path, const QList<QImage>& frames) {
    const QSize size = frames.front().size();
    QByteArray gif("GIF89a");
    appendLittleEndian16(gif, size.width());
    appendLittleEndian16(gif, size.height());
    gif.append(char(0x80)).append(char(0)).append(char(0)); // two-colour global table
    gif.append(QByteArray("\x00\x00\x00\xff\xff\xff", 6));
    for (const QImage& frame : frames) {
        gif.append(QByteArray("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8)); // 0.1 s per frame
        gif.append(char(0x2c));
        appendLittleEndian16(gif, 0);
        appendLittleEndian16(gif, 0);
        appendLittleEndian16(gif, size.width());
        appendLittleEndian16(gif, size.height());
        gif.append(char(0));
        gif.append(gifPixels(frame));
    }
    gif.append(char(0x3b));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(gif);
}

void writeHeic(const QString& path, const QImage& image) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    ASSERT_EQ(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code,
              heif_error_Ok);
    heif_encoder_set_lossy_quality(encoder, 90);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_image* picture = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                      &picture);
    heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + y * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
    EXPECT_EQ(heif_context_encode_image(context, picture, encoder, nullptr, nullptr).code,
              heif_error_Ok);
    EXPECT_EQ(heif_context_write_to_file(context, QFile::encodeName(path).constData()).code,
              heif_error_Ok);
    heif_image_release(picture);
    heif_encoder_release(encoder);
    heif_context_free(context);
}

} // namespace TestImages
