#include "PageText.h"

#include "OcrRun.h"
#include "RecognizedText.h"
#include "ResultLine.h"
#include "ShotWords.h"

#include <gtest/gtest.h>

namespace {

RecognizedWord word(const QString& text, int top, bool startsLine, bool spaceBefore = true) {
    return {text, QRect(0, top, 40, 12), 90, false, startsLine, spaceBefore};
}

} // namespace

TEST(PageTextTest, WordsFormLinesWithTesseractsSpacesAndExtraLinesGoWhereTheyStand) {
    const QList<RecognizedWord> words{
        word(QStringLiteral("Quarterly"), 10, true), word(QStringLiteral("invoice"), 10, false),
        word(QStringLiteral("請求"), 40, true), word(QStringLiteral("書"), 40, false, false)};
    EXPECT_EQ(PageText::assemble(words, {}), QStringLiteral("Quarterly invoice\n請求書"));
    EXPECT_EQ(PageText::assemble({}, {}), QString());
    // Extra lines go where they stand on the page.
    const QList<RecognizedWord> lines{word(QStringLiteral("top"), 10, true),
                                      word(QStringLiteral("bottom"), 100, true)};
    const QList<RecognizedLine> extra{{QStringLiteral("below"), QRect(0, 200, 40, 12)},
                                      {QStringLiteral("middle"), QRect(0, 50, 40, 12)}};
    EXPECT_EQ(PageText::assemble(lines, extra), QStringLiteral("top\nmiddle\nbottom\nbelow"));
    EXPECT_EQ(PageText::assemble({}, extra), QStringLiteral("middle\nbelow"));
}

TEST(RecognizedTextTest, OneSpaceAndOneLineFeedAtMostAndNoneBetweenJapanese) {
    const std::pair<QString, QString> cases[] = {
        {"\n  Invoice  \n\n\nTotal   due \n \n", "Invoice\nTotal due"},
        {" \n\n ", ""},
        {"請求 書 を 送信", "請求書を送信"},
        {"設定 Settings 画面", "設定 Settings 画面"},
        {"ファイル 、 編集 （ 表示 ）", "ファイル、編集（表示）"},
    };
    for (const auto& [page, tidy] : cases)
        EXPECT_EQ(RecognizedText::tidy(page), tidy) << page.toStdString();
}

// The lines must mean to the indexer exactly what they say.
TEST(ResultLineTest, IndexerReadsBackPathTextAndWordsOrTheFailure) {
    const QString path = QStringLiteral("/home/me/スクリーン ショット \"1\".png");
    const QString text = QStringLiteral("Invoice\n請求書\t\"total\" \\ 42");
    const QList<WordBox> words{{"Invoice", {10, 20, 80, 14}}, {"請求書", {10, 40, 48, 16}}};
    const QByteArray line = ResultLine::success(path, {text, words});
    EXPECT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_FALSE(line.contains('\r'));
    EXPECT_TRUE(line.contains(QStringLiteral("スクリーン ショット").toUtf8()))
        << "UTF-8, not escaped";
    QHash<QString, QByteArray> boxes;
    const auto parsed = OcrRun::parseNdjson(
        QString::fromUtf8(line + ResultLine::failure("/tmp/broken.png", "not an image")), nullptr,
        &boxes);
    EXPECT_EQ(parsed.value(path), text);
    EXPECT_EQ(ShotWords::parse(boxes.value(path)),
              (QList<ShotWord>{{"Invoice", {10, 20, 80, 14}}, {"請求書", {10, 40, 48, 16}}}));
    ASSERT_TRUE(parsed.contains("/tmp/broken.png"));
    EXPECT_FALSE(parsed.value("/tmp/broken.png").has_value());
}
