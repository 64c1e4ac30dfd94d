#include "ImageLoader.h"

ImageLoader::ImageLoader(QObject* parent)
    : ImageLoader(
          [](const QString& path, int maxEdge, QObject* context,
             ThumbnailCache::Completion completion) {
              ThumbnailCache::shared().image(path, maxEdge, context, std::move(completion));
          },
          parent) {}

ImageLoader::ImageLoader(Source source, QObject* parent)
    : QObject(parent)
    , source_(std::move(source)) {}

void ImageLoader::release() {
    currentPath_.reset();
    image_ = QImage();
    failed_ = false;
}

void ImageLoader::load(const QString& path, int maxEdge) {
    if (currentPath_ == path)
        return;
    currentPath_ = path;
    image_ = QImage();
    failed_ = false;
    Q_EMIT changed();
    source_(path, maxEdge, this, [this, path](const QImage& image) {
        if (currentPath_ != path)
            return;
        image_ = image;
        failed_ = image.isNull();
        Q_EMIT changed();
    });
}
