#pragma once

#include "ThumbnailCache.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// One picture at a time for a view: asks the cache for a path and publishes the
// result, ignoring any result for a path it no longer wants. Main thread only.
class ImageLoader : public QObject {
    Q_OBJECT

public:
    // Where pictures come from; the program's is ThumbnailCache::shared().
    using Source = std::function<void(const QString& path, int maxEdge, QObject* context,
                                      ThumbnailCache::Completion completion)>;

    explicit ImageLoader(QObject* parent = nullptr);
    ImageLoader(Source source, QObject* parent);

    // Shows `path` at `maxEdge` pixels. A request for the path already shown or
    // on its way does nothing; any other clears the picture until the new one
    // arrives (at once when the cache holds it).
    void load(const QString& path, int maxEdge);

    const QImage& image() const { return image_; }
    // Lets go of the picture; the next load() of any path asks for it anew.
    void release();
    // The latest request ended without a picture.
    bool failed() const { return failed_; }
    const std::optional<QString>& currentPath() const { return currentPath_; }

Q_SIGNALS:
    void changed();

private:
    Source source_;
    QImage image_;
    bool failed_ = false;
    std::optional<QString> currentPath_;
};
