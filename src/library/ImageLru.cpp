#include "ImageLru.h"

std::optional<QImage> ImageLru::find(const QString& key) {
    const auto found = index_.constFind(key);
    if (found == index_.constEnd())
        return std::nullopt;
    order_.splice(order_.begin(), order_, found.value());
    return order_.front().second;
}

void ImageLru::insert(const QString& key, const QImage& image) {
    if (const auto old = index_.constFind(key); old != index_.constEnd())
        erase(old.value());
    const qint64 size = image.sizeInBytes();
    if (size > budget_)
        return;
    while (bytes_ + size > budget_)
        erase(std::prev(order_.end()));
    order_.emplace_front(key, image);
    index_.insert(key, order_.begin());
    bytes_ += size;
}

void ImageLru::erase(std::list<Entry>::iterator entry) {
    bytes_ -= entry->second.sizeInBytes();
    index_.remove(entry->first);
    order_.erase(entry);
}

void ImageLru::clear() {
    order_.clear();
    index_.clear();
    bytes_ = 0;
}
