// Pictures made from real files, through the desktop's shared thumbnail cache
// in a throw-away home, and the cache that hands them to the library's views.
#include "ThumbnailCache.h"

#include "FreedesktopThumbnails.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ThumbnailMaking : public ::testing::Test {
protected:
    QString picture(const QString& name, QSize size, QColor colour = Qt::darkCyan) {
        const QString path = home.file(name);
        EXPECT_TRUE(TestImages::filled(size.width(), size.height(), colour).save(path));
        return path;
    }

    SandboxHome home;
    FreedesktopThumbnails shared{home.file(".cache/thumbnails")};
};

TEST_F(ThumbnailMaking, EveryFormatAndShapeIsShrunkByTheSameRule) {
    struct Case {
        QString name;
        QSize size;
        int maxEdge;
        QSize made;
    };
    const QString heic = QStringLiteral(QXOCR_TEST_DATA "/halves.heic");
    for (const Case& c : {Case{"wide.png", {3000, 1500}, 1400, {1400, 700}},
                          Case{"wide.png", {3000, 1500}, 160, {160, 80}},
                          Case{"wide.png", {3000, 1500}, 320, {320, 160}},
                          Case{"tall.jpg", {100, 400}, 160, {40, 160}},
                          Case{"small.webp", {120, 90}, 160, {120, 90}},
                          Case{"small.tiff", {120, 90}, 1400, {120, 90}},
                          Case{"strip.png", {1, 40'000}, 160, {1, 160}},
                          Case{"sixty-megapixels.jpg", {10'000, 6'000}, 160, {160, 96}},
                          Case{"halves.heic", {}, 160, {64, 64}}}) {
        SCOPED_TRACE(c.name.toStdString() + " at " + std::to_string(c.maxEdge));
        const QString path = c.size.isValid() ? picture(c.name, c.size) : heic;
        EXPECT_EQ(ThumbnailCache::make(path, c.maxEdge, shared).size(), c.made);
    }
}

TEST_F(ThumbnailMaking, FilesWithoutAPictureGiveNoneAndAreRememberedAsFailed) {
    TestFiles::write(home.file("empty.png"));
    TestFiles::write(home.file("notes.png"), "just some text, not a picture");
    QFile cut(picture("cut.png", {300, 150}));
    ASSERT_TRUE(cut.resize(cut.size() / 2));
    for (const char* name : {"missing.png", "empty.png", "notes.png", "cut.png"}) {
        SCOPED_TRACE(name);
        const QString path = home.file(name);
        EXPECT_TRUE(ThumbnailCache::make(path, 160, shared).isNull());
        if (QFile::exists(path)) {
            EXPECT_TRUE(shared.failedBefore(*FreedesktopThumbnails::sourceOf(path)));
        }
    }
    const QString failed =
        shared.failurePath(FreedesktopThumbnails::sourceOf(home.file("notes.png"))->uri);
    EXPECT_TRUE(failed.contains("/fail/glimber-")) << failed.toStdString();
    EXPECT_TRUE(QFile::exists(failed));
}

TEST_F(ThumbnailMaking, SharedThumbnailsAreWrittenPrivatelyReadFirstAndRemadeWhenStale) {
    const QString path = picture("Glimber 2026.png", {1000, 500}, Qt::darkCyan);
    TestFiles::setModificationTime(path, 1'700'000'000);
    const FreedesktopThumbnails::Source source = *FreedesktopThumbnails::sourceOf(path);
    EXPECT_EQ(source.uri, "file://" + QString(QUrl::toPercentEncoding(path, "/")));
    ASSERT_FALSE(ThumbnailCache::make(path, 160, shared).isNull());

    const QString stored = shared.thumbnailPath(*FreedesktopThumbnails::flavorFor(160), source.uri);
    EXPECT_TRUE(stored.contains("/thumbnails/large/"));
    QImage written(stored);
    EXPECT_EQ(written.size(), QSize(256, 128));
    EXPECT_EQ(written.text("Thumb::URI"), source.uri);
    EXPECT_EQ(written.text("Thumb::MTime"), "1700000000");
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(stored) & (others | QFile::ExeOwner), QFile::Permissions());

    // A file manager's thumbnail for the same version of the file is used as it is.
    QImage foreign(256, 128, QImage::Format_RGB32);
    foreign.fill(Qt::yellow);
    ASSERT_TRUE(shared.store(*FreedesktopThumbnails::flavorFor(160), source, foreign));
    EXPECT_EQ(ThumbnailCache::make(path, 160, shared).pixelColor(5, 5), QColor(Qt::yellow));

    // The file changes: the stored thumbnail is stale and a new one is made.
    picture("Glimber 2026.png", {1000, 500}, Qt::magenta);
    TestFiles::setModificationTime(path, 1'700'000'500);
    EXPECT_EQ(ThumbnailCache::make(path, 160, shared).pixelColor(5, 5), QColor(Qt::magenta));
    EXPECT_EQ(QImage(stored).text("Thumb::MTime"), "1700000500");
}

TEST_F(ThumbnailMaking, CacheAnswersAtOnceWhatItHoldsAndStaysWithinItsBudget) {
    ThumbnailCache cache({.thumbnails = 160 * 80 * 4 * 3, .previews = 0}, shared);
    QObject context;
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths.append(picture(QString("shot-%1.png").arg(i), {320, 160}));
    int answered = 0;
    for (const QString& path : paths)
        cache.image(path, 160, &context, [&](const QImage& image) { answered += !image.isNull(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered == 6; }, 10'000));
    EXPECT_EQ(cache.bytes(), 160 * 80 * 4 * 3) << "three of the six fit";

    const QString kept = *std::find_if(paths.cbegin(), paths.cend(), [&](const QString& path) {
        return cache.cached(path, 160).has_value();
    });
    bool atOnce = false;
    cache.image(kept, 160, &context, [&](const QImage&) { atOnce = true; });
    EXPECT_TRUE(atOnce) << "a hit answers before image() returns";
    EXPECT_FALSE(cache.cached(kept, 320)) << "each size is its own entry";
}

} // namespace
