#include "ImageFile.h"

#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

int greyAt(const DecodedImage& decoded, int x, int y) {
    l_uint32 value = 0;
    pixGetPixel(decoded.grey.get(), x, y, &value);
    return int(value);
}

DecodedImage decode(const QString& path, qint64 maxPixels = ImageFile::defaultMaxPixels) {
    ImageFile file(path, maxPixels);
    return file.decode();
}

// The left half must come out black and the right half white.
void expectHalves(const QString& path) {
    SCOPED_TRACE(path.toStdString());
    const DecodedImage decoded = decode(path);
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_EQ(pixGetDepth(decoded.grey.get()), 8);
    EXPECT_LT(greyAt(decoded, 8, 16), 60);
    EXPECT_GT(greyAt(decoded, 56, 16), 200);
}

QString decodeError(const QString& path, qint64 maxPixels = ImageFile::defaultMaxPixels) {
    return decode(path, maxPixels).error;
}

} // namespace

TEST(ImageFileTest, DecodesEveryIndexedFormatToGrey) {
    SandboxHome home;
    const QImage picture = TestImages::halves();
    for (const char* format : {"png", "jpg", "tiff", "webp", "bmp"}) {
        const QString path = home.file(QStringLiteral("halves.") + QLatin1String(format));
        ASSERT_TRUE(picture.save(path, format)) << format;
        expectHalves(path);
    }
    const QString heic = home.file(QStringLiteral("halves.heic"));
    TestImages::writeHeic(heic, TestImages::halves(64, 64));
    expectHalves(heic);
}

TEST(ImageFileTest, ReadsInterlacedSixteenBitAndPalettedPngs) {
    SandboxHome home;
    const QImage picture = TestImages::halves();
    const QString interlaced = home.file(QStringLiteral("interlaced.png"));
    TestImages::writeInterlacedPng(interlaced, picture);
    expectHalves(interlaced);
    const QString deep = home.file(QStringLiteral("deep.png"));
    ASSERT_TRUE(picture.convertToFormat(QImage::Format_RGBA64).save(deep));
    expectHalves(deep);
    const QString paletted = home.file(QStringLiteral("paletted.png"));
    ASSERT_TRUE(picture.convertToFormat(QImage::Format_Indexed8).save(paletted));
    expectHalves(paletted);
}

TEST(ImageFileTest, GifGivesItsFirstFrame) {
    SandboxHome home;
    const QString path = home.file(QStringLiteral("animated.gif"));
    QImage white(64, 32, QImage::Format_RGB32);
    white.fill(Qt::white);
    TestImages::writeGif(path, {TestImages::halves(), white});
    expectHalves(path);
}

TEST(ImageFileTest, TransparencyIsLaidOverWhite) {
    SandboxHome home;
    QImage picture(64, 32, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter(&picture).fillRect(0, 0, 32, 32, Qt::black);
    const QString path = home.file(QStringLiteral("alpha.png"));
    ASSERT_TRUE(picture.save(path));
    expectHalves(path);
}

TEST(ImageFileTest, GoesByContentNotByName) {
    SandboxHome home;
    const QString path = home.file(QStringLiteral("really-a-jpeg.png"));
    ASSERT_TRUE(TestImages::halves().save(path, "jpg"));
    expectHalves(path);
}

TEST(ImageFileTest, NamesWhatIsWrongWithFilesThatAreNoPictures) {
    SandboxHome home;
    const QString text = home.file(QStringLiteral("notes.png"));
    TestFiles::write(text, "not a picture at all\n");
    EXPECT_EQ(decodeError(text), QStringLiteral("not an image"));
    const QString empty = home.file(QStringLiteral("empty.png"));
    TestFiles::write(empty);
    EXPECT_EQ(decodeError(empty), QStringLiteral("empty file"));
    EXPECT_EQ(decodeError(home.path()), QStringLiteral("is a folder"));
    EXPECT_EQ(decodeError(home.file(QStringLiteral("missing.png"))),
              QStringLiteral("no such file"));
    // Opening a FIFO would wait for a writer forever.
    const QString fifo = home.file(QStringLiteral("fifo.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(decodeError(fifo), QStringLiteral("not a regular file"));
}

TEST(ImageFileTest, TruncatedPngIsAnError) {
    SandboxHome home;
    const QString path = home.file(QStringLiteral("truncated.png"));
    TestImages::writeTruncatedPng(path);
    EXPECT_TRUE(decodeError(path).startsWith(QStringLiteral("cannot decode")))
        << decodeError(path).toStdString();
}

TEST(ImageFileTest, RefusesPicturesOverThePixelBudgetBeforeDecoding) {
    SandboxHome home;
    // A few hundred bytes claiming ten gigapixels must not cost ten gigapixels of memory.
    const QString liar = home.file(QStringLiteral("liar.png"));
    TestImages::writeOversizedPngHeader(liar, 100000, 100000);
    const ImageFile file(liar);
    EXPECT_EQ(file.error(), QStringLiteral("too large: 100000x100000 pixels"));
    const QString small = home.file(QStringLiteral("small.png"));
    ASSERT_TRUE(TestImages::halves().save(small));
    EXPECT_EQ(decodeError(small, 1000), QStringLiteral("too large: 64x32 pixels"));
    EXPECT_TRUE(decodeError(small, 64 * 32).isEmpty());
}

TEST(ImageFileTest, LiarWithinTheBudgetFailsWithoutCrashing) {
    SandboxHome home;
    const QString liar = home.file(QStringLiteral("liar.png"));
    TestImages::writeOversizedPngHeader(liar, 6000, 6000);
    EXPECT_TRUE(decodeError(liar).startsWith(QStringLiteral("cannot decode")))
        << decodeError(liar).toStdString();
}
