#include "MissedLineFinder.h"

#include "ImageFile.h"
#include "TestImages.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

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

TEST(MissedLineFinderTest, FindsTheTextLinesNoWordCovers) {
    const Page sample = page();
    const PixPtr ink = binary(sample.picture);
    const QList<QRect> missed =
        MissedLineFinder::find(ink.get(), {sample.lines[0], sample.lines[2]}, 20);
    ASSERT_EQ(missed.size(), 1);
    EXPECT_TRUE(missed[0].adjusted(-2, -2, 2, 2).contains(sample.lines[1]));
}

TEST(MissedLineFinderTest, RulesBlocksAndBlankPagesAreNoText) {
    const Page sample = page();
    const PixPtr ink = binary(sample.picture);
    EXPECT_TRUE(MissedLineFinder::find(ink.get(), sample.lines, 20).isEmpty());
    QImage blank(200, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_TRUE(MissedLineFinder::find(binary(blank).get(), {}, 20).isEmpty());
}
