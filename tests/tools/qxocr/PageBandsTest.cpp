#include "PageBands.h"

#include "ImageFile.h"
#include "MissedLineFinder.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A white 8-bit page with a black one-pixel line every `pitch` rows and columns.
PixPtr gridPage(int width, int height, int pitch) {
    PixPtr page(pixCreate(width, height, 8));
    pixSetAll(page.get());
    for (int y = 0; y < height; y += pitch)
        pixRasterop(page.get(), 0, y, width, 1, PIX_CLR, nullptr, 0, 0);
    for (int x = 0; x < width; x += pitch)
        pixRasterop(page.get(), x, 0, 1, height / 2, PIX_CLR, nullptr, 0, 0);
    return page;
}

// Three lines of text, a long rule and a solid block, as Tesseract's binary page.
struct Page {
    QImage picture;
    QList<QRect> lines;
};

Page page() {
    Page result{QImage(600, 300, QImage::Format_RGB32), {}};
    result.picture.fill(Qt::white);
    QPainter painter(&result.picture);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (int i = 0; i < 3; ++i) {
        const QString text = QStringLiteral("Label number %1").arg(i + 1);
        const QPoint baseline(20, 40 + 60 * i);
        painter.drawText(baseline, text);
        result.lines.append(metrics.tightBoundingRect(text).translated(baseline));
    }
    painter.fillRect(20, 230, 560, 2, Qt::black);
    painter.fillRect(400, 30, 60, 30, Qt::black);
    return result;
}

PixPtr binary(const QImage& picture) {
    const PixPtr grey = ImageFile::greyOverWhite(picture);
    return PixPtr(pixThresholdToBinary(grey.get(), 128));
}

} // namespace

TEST(PageBandsTest, PicturesTooLongForTesseractComeInPiecesThatCoverThem) {
    const PixPtr page = gridPage(500, 1000, 10);
    const QList<QRect> pieces = PageBands::pieces(page.get(), 300);
    ASSERT_GT(pieces.size(), 1);
    qint64 area = 0;
    for (const QRect& piece : pieces) {
        EXPECT_LE(piece.width(), 300);
        EXPECT_LE(piece.height(), 300);
        EXPECT_TRUE(QRect(0, 0, 500, 1000).contains(piece));
        if (piece.top() > 0) {
            EXPECT_NE(piece.top() % 10, 0) << "a cut through a line of ink";
        }
        area += qint64(piece.width()) * piece.height();
    }
    EXPECT_EQ(area, 500 * 1000);
    EXPECT_EQ(PageBands::pieces(page.get(), 1000), QList<QRect>{QRect(0, 0, 500, 1000)});
}

TEST(MissedLineFinderTest, FindsTheTextLinesNoWordCoversButNoRulesBlocksOrBlankPages) {
    const Page sample = page();
    const PixPtr ink = binary(sample.picture);
    const QList<QRect> missed =
        MissedLineFinder::find(ink.get(), {sample.lines[0], sample.lines[2]}, 20);
    ASSERT_EQ(missed.size(), 1);
    EXPECT_TRUE(missed[0].adjusted(-2, -2, 2, 2).contains(sample.lines[1]));
    EXPECT_TRUE(MissedLineFinder::find(ink.get(), sample.lines, 20).isEmpty());
    QImage blank(200, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_TRUE(MissedLineFinder::find(binary(blank).get(), {}, 20).isEmpty());
}
