#include "ThumbnailCache.h"

#include "ImageDecoder.h"
#include "ImageScaling.h"

#include <limits>

ThumbnailCache& ThumbnailCache::shared() {
    // Kept for the program's life: pool threads may still be decoding while
    // static destructors run.
    static ThumbnailCache* cache = new ThumbnailCache(Budget{});
    return *cache;
}

ThumbnailCache::ThumbnailCache(Budget budget, FreedesktopThumbnails thumbnails)
    : thumbnails_(std::move(thumbnails))
    , thumbnailLru_(budget.thumbnails)
    , previewLru_(budget.previews) {
    pool_.setObjectName(QStringLiteral("net.glimvault.thumbs"));
}

ThumbnailCache::~ThumbnailCache() {
    pool_.clear();
    pool_.waitForDone();
}

ImageLru& ThumbnailCache::lruFor(int maxEdge) {
    return maxEdge <= largestThumbnail ? thumbnailLru_ : previewLru_;
}

std::optional<QImage> ThumbnailCache::cached(const QString& path, int maxEdge) {
    const std::lock_guard lock(mutex_);
    return lruFor(maxEdge).find(ImageScaling::cacheKey(maxEdge, path));
}

void ThumbnailCache::releaseMemory() {
    const std::lock_guard lock(mutex_);
    thumbnailLru_.clear();
    previewLru_.clear();
}

qint64 ThumbnailCache::bytes() const {
    const std::lock_guard lock(mutex_);
    return thumbnailLru_.bytes() + previewLru_.bytes();
}

void ThumbnailCache::image(const QString& path, int maxEdge, QObject* context,
                           Completion completion) {
    if (const std::optional<QImage> hit = cached(path, maxEdge))
        return completion(*hit);
    const QString key = ImageScaling::cacheKey(maxEdge, path);
    auto waiting = inFlight_.find(key);
    if (waiting != inFlight_.end()) {
        waiting->append({context, std::move(completion)});
        return;
    }
    inFlight_.insert(key, {{context, std::move(completion)}});
    // The newest request runs first: while the list scrolls, the rows on screen
    // now matter more than the ones that scrolled past.
    nextPriority_ = nextPriority_ == std::numeric_limits<int>::max() ? 0 : nextPriority_ + 1;
    pool_.start(
        [this, path, maxEdge, key] {
            const QImage image = make(path, maxEdge, thumbnails_);
            if (!image.isNull()) {
                const std::lock_guard lock(mutex_);
                lruFor(maxEdge).insert(key, image);
            }
            QMetaObject::invokeMethod(
                this, [this, key, image] { deliver(key, image); }, Qt::QueuedConnection);
        },
        nextPriority_);
}

void ThumbnailCache::deliver(const QString& key, const QImage& image) {
    const QList<Waiter> waiters = inFlight_.take(key);
    for (const Waiter& waiter : waiters) {
        if (waiter.context)
            waiter.completion(image);
    }
}

QImage ThumbnailCache::make(const QString& path, int maxEdge,
                            const FreedesktopThumbnails& thumbnails) {
    const std::optional<FreedesktopThumbnails::Flavor> flavor =
        FreedesktopThumbnails::flavorFor(maxEdge);
    const std::optional<FreedesktopThumbnails::Source> source =
        FreedesktopThumbnails::sourceOf(path);
    if (!flavor || !source || thumbnails.holds(path))
        return ImageDecoder::readFitted(path, maxEdge);
    QImage thumbnail = thumbnails.find(*flavor, *source);
    if (thumbnail.isNull()) {
        if (thumbnails.failedBefore(*source))
            return {};
        thumbnail = ImageDecoder::readFitted(path, flavor->edge);
        // The shared cache is a help, not a need: a read-only cache folder
        // only means the next start decodes again.
        if (thumbnail.isNull()) {
            thumbnails.storeFailure(*source);
            return {};
        }
        thumbnails.store(*flavor, *source, thumbnail);
    }
    const QSize fitted = ImageScaling::fittedSize(thumbnail.size(), maxEdge);
    if (fitted == thumbnail.size())
        return thumbnail;
    return thumbnail.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
