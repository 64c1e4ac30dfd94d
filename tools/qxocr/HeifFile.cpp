#include "HeifFile.h"

#include <QFile>

#include <libheif/heif.h>

namespace {

QString reason(const char* what, const heif_error& error) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(error.message));
}

void releaseImage(void* image) {
    heif_image_release(static_cast<heif_image*>(image));
}

// The QImage takes over libheif's pixels instead of copying them.
QImage adoptPlane(heif_image* image, bool alpha) {
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* data = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    if (data == nullptr || width <= 0 || height <= 0) {
        heif_image_release(image);
        return {};
    }
    return QImage(data, width, height, stride,
                  alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888, releaseImage, image);
}

} // namespace

void HeifFile::ContextFree::operator()(heif_context* context) const {
    heif_context_free(context);
}

void HeifFile::HandleRelease::operator()(heif_image_handle* handle) const {
    heif_image_handle_release(handle);
}

bool HeifFile::recognises(const QByteArray& head) {
    const heif_filetype_result type =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), int(head.size()));
    return type == heif_filetype_yes_supported;
}

HeifFile::HeifFile(const QString& path)
    : context_(heif_context_alloc()) {
    heif_error status =
        heif_context_read_from_file(context_.get(), QFile::encodeName(path).constData(), nullptr);
    if (status.code != heif_error_Ok) {
        error_ = reason("unreadable HEIF", status);
        return;
    }
    heif_image_handle* handle = nullptr;
    status = heif_context_get_primary_image_handle(context_.get(), &handle);
    handle_.reset(handle);
    if (status.code != heif_error_Ok) {
        error_ = reason("unreadable HEIF", status);
        return;
    }
    size_ = QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

HeifFile::~HeifFile() = default;

QImage HeifFile::decode() {
    if (!handle_)
        return {};
    const bool alpha = heif_image_handle_has_alpha_channel(handle_.get()) != 0;
    heif_image* image = nullptr;
    const heif_error status = heif_decode_image(
        handle_.get(), &image, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    if (status.code != heif_error_Ok) {
        error_ = reason("cannot decode HEIF", status);
        return {};
    }
    // Rotation stored in the file may swap the sides: the decoded plane has the last word.
    QImage adopted = adoptPlane(image, alpha);
    if (adopted.isNull())
        error_ = QStringLiteral("cannot decode HEIF");
    return adopted;
}
