#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

struct heif_context;
struct heif_image_handle;

// A HEIC or other HEIF picture read through libheif (Qt has no decoder for
// them on Linux): the header on opening, the pixels only on decode().
class HeifFile {
public:
    // Whether the first bytes of a file announce a HEIF picture libheif can read.
    static bool recognises(const QByteArray& head);

    explicit HeifFile(const QString& path);
    ~HeifFile();
    HeifFile(const HeifFile&) = delete;
    HeifFile& operator=(const HeifFile&) = delete;

    // Empty when the file opened; otherwise a short reason.
    const QString& error() const { return error_; }
    QSize size() const { return size_; }

    // The primary picture in colour, with alpha when it has one; null on failure,
    // with error() saying why.
    QImage decode();

private:
    struct ContextFree {
        void operator()(heif_context* context) const;
    };
    struct HandleRelease {
        void operator()(heif_image_handle* handle) const;
    };

    std::unique_ptr<heif_context, ContextFree> context_;
    std::unique_ptr<heif_image_handle, HandleRelease> handle_;
    QSize size_;
    QString error_;
};
