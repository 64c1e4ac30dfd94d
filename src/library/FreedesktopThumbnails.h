#pragma once

#include <QImage>
#include <QString>

#include <optional>

// The desktop's shared thumbnail cache, as file managers keep it
// ($XDG_CACHE_HOME/thumbnails): PNG files named after the MD5 of the source's
// URI, carrying that URI and the source's modification time, so that a
// thumbnail of a changed file is recognised as stale. Pictures that could not be
// read are remembered under fail/glimber-<version>/.
class FreedesktopThumbnails {
public:
    // One of the standard sizes: the folder and the longest edge it holds.
    struct Flavor {
        const char* folder;
        int edge;
    };
    // What a thumbnail must match of the file it shows.
    struct Source {
        QString uri;
        qint64 mtime = 0; // whole seconds since 1970
        qint64 bytes = 0;
    };

    explicit FreedesktopThumbnails(QString root = defaultRoot());

    // $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
    static QString defaultRoot();
    // The smallest standard size holding `edge` pixels; none above 1024.
    static std::optional<Flavor> flavorFor(int edge);
    // The URI and times of a regular file; none for anything else.
    static std::optional<Source> sourceOf(const QString& path);

    QString thumbnailPath(const Flavor& flavor, const QString& uri) const;
    QString failurePath(const QString& uri) const;
    // Whether `path` lies inside this cache: thumbnails are never made of thumbnails.
    bool holds(const QString& path) const;

    // A stored, current thumbnail of `source`; null when there is none.
    QImage find(const Flavor& flavor, const Source& source) const;
    // Whether reading this version of the file failed before.
    bool failedBefore(const Source& source) const;

    // Written whole or not at all, readable by the user only. False on failure.
    bool store(const Flavor& flavor, const Source& source, const QImage& thumbnail) const;
    bool storeFailure(const Source& source) const;

private:
    bool write(const QString& path, const Source& source, QImage image) const;

    QString root_;
};
