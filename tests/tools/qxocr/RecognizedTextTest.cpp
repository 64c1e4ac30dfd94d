#include "RecognizedText.h"

#include <gtest/gtest.h>

TEST(RecognizedTextTest, KeepsOneLineFeedBetweenLinesAndNothingAround) {
    EXPECT_EQ(RecognizedText::tidy(QStringLiteral("\n  Invoice  \n\n\nTotal   due \n \n")),
              QStringLiteral("Invoice\nTotal due"));
    EXPECT_EQ(RecognizedText::tidy(QStringLiteral(" \n\n ")), QString());
}

TEST(RecognizedTextTest, JoinsJapaneseButKeepsSpacesNextToLatin) {
    EXPECT_EQ(RecognizedText::tidy(QStringLiteral("請求 書 を 送信")),
              QStringLiteral("請求書を送信"));
    EXPECT_EQ(RecognizedText::tidy(QStringLiteral("設定 Settings 画面")),
              QStringLiteral("設定 Settings 画面"));
    EXPECT_EQ(RecognizedText::tidy(QStringLiteral("ファイル 、 編集 （ 表示 ）")),
              QStringLiteral("ファイル、編集（表示）"));
}
