#include "PageText.h"

#include <gtest/gtest.h>

namespace {

RecognizedWord word(const QString& text, int top, bool startsLine, bool spaceBefore = true) {
    return {text, QRect(0, top, 40, 12), 90, false, startsLine, spaceBefore};
}

} // namespace

TEST(PageTextTest, WordsFormLinesWithTesseractsSpaces) {
    const QList<RecognizedWord> words{
        word(QStringLiteral("Quarterly"), 10, true), word(QStringLiteral("invoice"), 10, false),
        word(QStringLiteral("請求"), 40, true), word(QStringLiteral("書"), 40, false, false)};
    EXPECT_EQ(PageText::assemble(words, {}), QStringLiteral("Quarterly invoice\n請求書"));
    EXPECT_EQ(PageText::assemble({}, {}), QString());
}

TEST(PageTextTest, ExtraLinesGoWhereTheyStandOnThePage) {
    const QList<RecognizedWord> words{word(QStringLiteral("top"), 10, true),
                                      word(QStringLiteral("bottom"), 100, true)};
    const QList<RecognizedLine> extra{{QStringLiteral("below"), QRect(0, 200, 40, 12)},
                                      {QStringLiteral("middle"), QRect(0, 50, 40, 12)}};
    EXPECT_EQ(PageText::assemble(words, extra), QStringLiteral("top\nmiddle\nbottom\nbelow"));
    EXPECT_EQ(PageText::assemble({}, extra), QStringLiteral("middle\nbelow"));
}
