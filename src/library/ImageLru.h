#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <list>
#include <optional>
#include <utility>

// Decoded pictures by key, bounded by the bytes of their pixels: adding one
// beyond the budget pushes out the ones used least recently. Not thread-safe.
class ImageLru {
public:
    explicit ImageLru(qint64 budgetBytes)
        : budget_(budgetBytes) {}

    // The picture under `key`, which becomes the most recently used.
    std::optional<QImage> find(const QString& key);
    // Stores or replaces; a picture larger than the whole budget is not kept.
    void insert(const QString& key, const QImage& image);

    // Lets go of every picture.
    void clear();

    qint64 bytes() const { return bytes_; }
    qint64 budget() const { return budget_; }
    qsizetype count() const { return index_.size(); }

private:
    using Entry = std::pair<QString, QImage>;

    void erase(std::list<Entry>::iterator entry);

    qint64 budget_;
    qint64 bytes_ = 0;
    std::list<Entry> order_; // most recently used first
    QHash<QString, std::list<Entry>::iterator> index_;
};
