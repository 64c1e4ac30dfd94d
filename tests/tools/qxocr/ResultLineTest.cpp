#include "ResultLine.h"

#include "OcrRun.h"

#include <gtest/gtest.h>

// The lines must mean to the indexer exactly what they say.
TEST(ResultLineTest, IndexerReadsBackPathAndText) {
    const QString path = QStringLiteral("/home/me/スクリーン ショット \"1\".png");
    const QString text = QStringLiteral("Invoice\n請求書\t\"total\" \\ 42");
    const QByteArray line = ResultLine::success(path, text);
    EXPECT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_FALSE(line.contains('\r'));
    EXPECT_TRUE(line.contains(QStringLiteral("スクリーン ショット").toUtf8()))
        << "UTF-8, not escaped";
    const auto parsed = OcrRun::parseNdjson(QString::fromUtf8(line));
    ASSERT_TRUE(parsed.contains(path));
    EXPECT_EQ(parsed.value(path), text);
}

TEST(ResultLineTest, FailureLeavesThePathWithoutText) {
    const QString path = QStringLiteral("/tmp/broken.png");
    const QByteArray lines = ResultLine::success(QStringLiteral("/tmp/a.png"), QString()) +
                             ResultLine::failure(path, QStringLiteral("not an image"));
    const auto parsed = OcrRun::parseNdjson(QString::fromUtf8(lines));
    ASSERT_TRUE(parsed.contains(path));
    EXPECT_FALSE(parsed.value(path).has_value());
    EXPECT_EQ(parsed.value(QStringLiteral("/tmp/a.png")), QString());
}
