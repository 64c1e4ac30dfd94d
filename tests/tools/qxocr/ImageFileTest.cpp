#include "ImageFile.h"

#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ImageFileTest : public ::testing::Test {
protected:
    QString save(const QString& name, const QImage& picture, const char* format = nullptr) const {
        const QString path = home.file(name);
        EXPECT_TRUE(picture.save(path, format)) << name.toStdString();
        return path;
    }

    SandboxHome home;
};

// The files in the data folder: a HEIC picture of TestImages::halves(64, 64), and
// PNG headers announcing 100000 and 6000 pixels square with almost no pixel data.
QString data(const char* name) {
    return QStringLiteral(QXOCR_TEST_DATA "/") + name;
}

int greyAt(const DecodedImage& decoded, int x, int y) {
    l_uint32 value = 0;
    pixGetPixel(decoded.grey.get(), x, y, &value);
    return int(value);
}

TEST_F(ImageFileTest, DecodesByContentToGreyWithTransparencyOverWhite) {
    const QImage halves = TestImages::halves();
    QImage alpha(64, 32, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    QPainter(&alpha).fillRect(0, 0, 32, 32, Qt::black);
    QStringList paths;
    for (const char* format : {"png", "jpg", "tiff", "webp", "bmp"})
        paths.append(save(QStringLiteral("halves.") + format, halves, format));
    paths.append(save("deep.png", halves.convertToFormat(QImage::Format_RGBA64)));
    paths.append(save("paletted.png", halves.convertToFormat(QImage::Format_Indexed8)));
    paths.append(save("alpha.png", alpha));
    paths.append(save("really-a-jpeg.png", halves, "jpg"));
    paths.append(data("halves.heic"));
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const DecodedImage decoded = ImageFile(path).decode();
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
        EXPECT_EQ(pixGetDepth(decoded.grey.get()), 8);
        EXPECT_LT(greyAt(decoded, 8, 16), 60);
        EXPECT_GT(greyAt(decoded, 56, 16), 200);
    }
}

TEST_F(ImageFileTest, NamesWhatIsWrongWithAFile) {
    TestFiles::write(home.file("notes.png"), "not a picture at all\n");
    TestFiles::write(home.file("empty.png"));
    // Opening a FIFO would wait for a writer forever.
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file("fifo.png")).constData(), 0600), 0);
    // A PNG of noise, barely compressible, cut to half its size.
    QFile truncated(save("truncated.png", TestImages::noise(400, 300)));
    ASSERT_TRUE(truncated.resize(truncated.size() / 2));
    const std::pair<QString, const char*> cases[] = {
        {home.file("notes.png"), "not an image"},
        {home.file("empty.png"), "empty file"},
        {home.path(), "is a folder"},
        {home.file("missing.png"), "no such file"},
        {home.file("fifo.png"), "not a regular file"},
        {home.file("truncated.png"), "cannot decode"},
        {data("liar-6000.png"), "cannot decode"}, // within the budget, and no crash
    };
    for (const auto& [path, error] : cases)
        EXPECT_TRUE(ImageFile(path).decode().error.startsWith(error)) << error;
}

TEST_F(ImageFileTest, RefusesPicturesOverThePixelBudgetBeforeDecoding) {
    // A few hundred bytes claiming ten gigapixels must not cost ten gigapixels of memory.
    EXPECT_EQ(ImageFile(data("liar-100000.png")).error(), "too large: 100000x100000 pixels");
    const QString small = save("small.png", TestImages::halves());
    EXPECT_EQ(ImageFile(small, 1000).decode().error, "too large: 64x32 pixels");
    EXPECT_TRUE(ImageFile(small, 64 * 32).decode().ok());
}

} // namespace
