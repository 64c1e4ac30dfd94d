// The library's rules as plain values: sizes, keys, row texts, how much the
// memory cache holds, which picture a loader shows.
#include "ImageLoader.h"
#include "ImageLru.h"
#include "ImageScaling.h"
#include "ShotRowText.h"
#include "TestImages.h"

#include <QMap>

#include <gtest/gtest.h>

namespace {

// Fitting real pictures, and a size per cache entry, are checked on files, in
// ThumbnailCacheTest.
TEST(ImageScaling, EdgesCountDevicePixelsAndNoSideShrinksToNothing) {
    EXPECT_EQ(ImageScaling::pixelEdge(160, 1), 160);
    EXPECT_EQ(ImageScaling::pixelEdge(160, 2), 320);
    EXPECT_EQ(ImageScaling::pixelEdge(160, 1.25), 200);
    EXPECT_EQ(ImageScaling::pixelEdge(1400, 0), 1400);
    EXPECT_EQ(ImageScaling::fittedSize({40'000, 1}, 320), QSize(320, 1));
    EXPECT_EQ(ImageScaling::fittedSize({0, 10}, 160), QSize());
}

TEST(ShotRowText, DateLineAndExcerptAreCleanWhateverTheStoredText) {
    EXPECT_EQ(ShotRowText::dateLine(QString("2025-03-14T09:26:53")), "2025-03-14 09:26");
    EXPECT_EQ(ShotRowText::dateLine(QString("2025-03-14T09:26:53Z")), "2025-03-14 09:26");
    EXPECT_EQ(ShotRowText::dateLine(std::nullopt), "");
    const auto excerpt = [](const std::optional<QString>& text) {
        return ShotRowText::ocrExcerpt(text).text;
    };
    EXPECT_EQ(excerpt(std::nullopt), "");
    EXPECT_EQ(excerpt(QString("  two \n\n words  ")), "two words");
    EXPECT_EQ(excerpt(QString("bell\x07tab\tnul") + QChar(0) + "end\x1b[31m"),
              "bell tab nul end [31m");
    EXPECT_EQ(excerpt(QString::fromUtf8("left \u202Eright\u202C done")), "left right done");
    const QString page = QString("word ").repeated(20'000);
    EXPECT_EQ(excerpt(page).size(), 100);
    EXPECT_TRUE(excerpt(page).startsWith("word word"));
    // Graphemes, not UTF-16 units: 120 emoji with skin tones keep 100 whole ones.
    const QString emoji = QString::fromUtf8("\U0001F44D\U0001F3FD").repeated(120);
    EXPECT_EQ(excerpt(emoji), emoji.left(400));
}

TEST(ShotRowText, TheExcerptIsTheLineOfTheFirstHitItsSearchedWordsMarked) {
    const QString text = "File Edit View\nExport the layer\nExport Layers As...";
    const ShotRowText::Excerpt layers = ShotRowText::ocrExcerpt(text, {"layer", "export"});
    EXPECT_EQ(layers.text, "Export the layer Export Layers As...") << "from the hit's line on";
    EXPECT_EQ(layers.hits, (QList<std::pair<int, int>>{{0, 6}, {11, 5}, {17, 6}, {24, 5}}));
    const QString log = "09:12:01 " + QString("INFO starting ").repeated(10) + "ERROR disk full";
    const ShotRowText::Excerpt error = ShotRowText::ocrExcerpt(log, {"error"});
    EXPECT_TRUE(error.text.startsWith("… ")) << "far into a long line: a little before the hit";
    EXPECT_TRUE(error.text.contains("ERROR disk full"));
    EXPECT_EQ(ShotRowText::ocrExcerpt(text, {"l_yer"}).text, "File Edit View Export the layer "
                                                             "Export Layers As...")
        << "a word with wildcards is not looked for";
    const ShotRowText::Excerpt near = ShotRowText::ocrExcerpt(text, {"Exp0rts"});
    EXPECT_EQ(near.text, "Export the layer Export Layers As...") << "a near match places it too";
    EXPECT_EQ(near.hits, (QList<std::pair<int, int>>{{0, 6}, {17, 6}}));
}

QImage filled(int width, int height) {
    return TestImages::filled(width, height, Qt::red);
}

TEST(ImageLru, StaysWithinItsBytesDroppingTheLeastRecentlyUsed) {
    const qint64 tile = filled(10, 10).sizeInBytes();
    ImageLru lru(tile * 3);
    lru.insert("a", filled(10, 10));
    lru.insert("b", filled(10, 10));
    lru.insert("c", filled(10, 10));
    ASSERT_TRUE(lru.find("a")); // "b" is now the least recently used
    lru.insert("d", filled(10, 10));
    EXPECT_FALSE(lru.find("b"));
    EXPECT_TRUE(lru.find("a") && lru.find("c") && lru.find("d"));
    lru.insert("wide", filled(20, 10));
    EXPECT_LE(lru.bytes(), lru.budget());
    EXPECT_EQ(lru.count(), 2);
    lru.insert("huge", filled(100, 100));
    EXPECT_FALSE(lru.find("huge")) << "larger than the whole budget";
    for (int i = 0; i < 1000; ++i)
        lru.insert(QString::number(i), filled(10, 10));
    EXPECT_EQ(lru.bytes(), tile * 3);
}

// Answers come when the test says, in any order.
struct FakeSource {
    QMap<QString, ThumbnailCache::Completion> pending;
    int requests = 0;
    ImageLoader::Source source() {
        return [this](const QString& path, int, QObject*, ThumbnailCache::Completion done) {
            ++requests;
            pending.insert(path, std::move(done));
        };
    }
};

TEST(ImageLoaderWithFakeSource, ShowsOnlyThePathAskedForLast) {
    FakeSource fake;
    ImageLoader loader(fake.source(), nullptr);
    loader.load("/a.png", 160);
    loader.load("/b.png", 160);
    fake.pending.take("/b.png")(filled(4, 4));
    fake.pending.take("/a.png")(filled(8, 8));
    EXPECT_EQ(loader.image().size(), QSize(4, 4));
    EXPECT_FALSE(loader.failed());

    loader.load("/b.png", 160);
    EXPECT_EQ(fake.requests, 2) << "the same path again is neither cleared nor asked for";
    EXPECT_FALSE(loader.image().isNull());

    loader.load("/broken.png", 160);
    EXPECT_TRUE(loader.image().isNull()) << "a new path shows the loading state at once";
    EXPECT_FALSE(loader.failed());
    fake.pending.take("/broken.png")(QImage());
    EXPECT_TRUE(loader.failed());
}

} // namespace
