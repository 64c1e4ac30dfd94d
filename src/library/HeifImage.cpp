#include "HeifImage.h"

#include <QFile>

#include <libheif/heif.h>
#include <memory>

namespace HeifImage {

namespace {

template <auto release>
struct Releaser {
    template <typename T>
    void operator()(T* pointer) const {
        release(pointer);
    }
};

using Context = std::unique_ptr<heif_context, Releaser<heif_context_free>>;
using Handle = std::unique_ptr<heif_image_handle, Releaser<heif_image_handle_release>>;
using Picture = std::unique_ptr<heif_image, Releaser<heif_image_release>>;

} // namespace

bool recognises(const QByteArray& head) {
    return heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()),
                               int(head.size())) == heif_filetype_yes_supported;
}

QImage read(const QString& path) {
    Context context(heif_context_alloc());
    if (heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr)
            .code != heif_error_Ok)
        return {};
    heif_image_handle* primary = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok)
        return {};
    Handle handle(primary);
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    heif_image* decoded = nullptr;
    if (heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          nullptr)
            .code != heif_error_Ok)
        return {};
    Picture picture(decoded);
    int stride = 0;
    const uint8_t* pixels =
        heif_image_get_plane_readonly(picture.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(picture.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(picture.get(), heif_channel_interleaved);
    if (pixels == nullptr || width <= 0 || height <= 0)
        return {};
    // A deep copy, so the picture owns its pixels once libheif's are released.
    return QImage(pixels, width, height, stride,
                  alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
        .copy();
}

} // namespace HeifImage
