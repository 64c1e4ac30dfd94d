#pragma once

#include "FreedesktopThumbnails.h"
#include "ImageLru.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <mutex>
#include <optional>

// Shrunken pictures of image files for the library's rows and preview, decoded
// on the pool "net.glimvault.thumbs" and kept in memory by size and path, within
// a byte budget. Small sizes go through the desktop's shared thumbnail cache
// first, so a picture the file manager already made is not decoded again, and
// one made here serves the file manager too.
class ThumbnailCache : public QObject {
    Q_OBJECT

public:
    struct Budget {
        qint64 thumbnails = 64 << 20; // row pictures: about 1,000 at 160 pixels
        qint64 previews = 96 << 20;   // preview pictures: a dozen at 1400 pixels
    };
    using Completion = std::function<void(const QImage&)>;

    // Pictures up to this edge count as row thumbnails, larger ones as previews.
    static constexpr int largestThumbnail = 512;

    static ThumbnailCache& shared();

    explicit ThumbnailCache(Budget budget,
                            FreedesktopThumbnails thumbnails = FreedesktopThumbnails());
    ~ThumbnailCache() override;

    // The picture of `path` fitted to `maxEdge` pixels (ImageScaling). When it is
    // in memory the completion runs before this returns; otherwise it runs later
    // on the thread of `context` (the main thread), with a null image when the
    // file cannot be read, and not at all once `context` is gone.
    void image(const QString& path, int maxEdge, QObject* context, Completion completion);
    // Only what is in memory; asks for nothing.
    std::optional<QImage> cached(const QString& path, int maxEdge);

    // The whole making of one picture, as the pool runs it.
    static QImage make(const QString& path, int maxEdge, const FreedesktopThumbnails& thumbnails);

    // Lets go of every picture in memory; those on their way still arrive.
    void releaseMemory();

    qint64 bytes() const;
    QThreadPool& pool() { return pool_; }

private:
    struct Waiter {
        QPointer<QObject> context;
        Completion completion;
    };

    ImageLru& lruFor(int maxEdge);
    void deliver(const QString& key, const QImage& image);

    FreedesktopThumbnails thumbnails_;
    mutable std::mutex mutex_;
    ImageLru thumbnailLru_;
    ImageLru previewLru_;
    // Requests being decoded, by key; touched on the main thread only.
    QHash<QString, QList<Waiter>> inFlight_;
    int nextPriority_ = 0;
    QThreadPool pool_;
};
