#include "StrayWords.h"

#include "PixPtr.h"

#include <gtest/gtest.h>

namespace {

// Words 20 px tall on one line, read with `confidence`.
RecognizedWord word(const QString& text, int left, int width, float confidence,
                    bool startsLine = false, int top = 10) {
    return {text, QRect(left, top, width, 20), confidence, true, startsLine, true};
}

QStringList texts(const QList<RecognizedWord>& words) {
    QStringList result;
    for (const RecognizedWord& word : words)
        result.append(word.text);
    return result;
}

} // namespace

// The rims of check boxes and icons read as "時" or "a" with little
// confidence, apart from the label; real short words stand close, read well
// or are two kanji.
TEST(StrayWordsTest, ShortDoubtfulWordsApartFromTheirLineGoAndSupportedOnesStay) {
    struct Case {
        const char* name;
        QList<RecognizedWord> words;
        QStringList kept;
    };
    const Case cases[] = {
        {"a check box read as a kanji before its label",
         {word("時", 0, 20, 0, true), word("行番号を表示する", 40, 160, 95)},
         {"行番号を表示する"}},
        {"a doubtful letter far from everything",
         {word("Name", 0, 60, 95, true), word("a", 300, 12, 70)},
         {"Name"}},
        {"a doubtful kanji inside a Japanese line",
         {word("請", 0, 20, 30, true), word("求書", 21, 40, 90)},
         {"請", "求書"}},
        {"a doubtful two-kanji word in a table cell",
         {word("住所", 0, 40, 95, true), word("部署", 200, 40, 30)},
         {"住所", "部署"}},
        {"a confident lone word",
         {word("Name", 0, 60, 95, true), word("OK", 400, 30, 96)},
         {"Name", "OK"}},
        {"a doubtful long word",
         {word("Name", 0, 60, 95), word("Kinds", 400, 70, 20)},
         {"Name", "Kinds"}},
        {"a fairly sure digit one height away",
         {word("Size", 0, 50, 95, true), word("3", 70, 10, 80)},
         {"Size", "3"}},
        {"a fairly sure digit far away",
         {word("Open Recent", 0, 150, 95, true), word("2", 400, 10, 83)},
         {"Open Recent"}},
        {"a rule read as long vowel marks, and code's own dashes",
         {word("ーーーー", 0, 200, 90, true), word("==", 0, 20, 95, true, 100),
          word("--", 40, 20, 95, false, 100)},
         {"==", "--"}},
        {"a lone word on its own line is judged by that line",
         {word("Cancel", 0, 60, 95, true), word("TT", 0, 20, 3, true, 100)},
         {"Cancel"}},
    };
    for (const Case& c : cases) {
        QList<RecognizedWord> words = c.words;
        const int removed = StrayWords::remove(words, nullptr);
        EXPECT_EQ(texts(words), c.kept) << c.name;
        EXPECT_EQ(removed, c.words.size() - c.kept.size()) << c.name;
    }
}

TEST(StrayWordsTest, LineStartsAtTheFirstWordKept) {
    QList<RecognizedWord> words{word("還", 0, 20, 0, true), word("a", 30, 20, 10),
                                word("行を折り返す", 80, 120, 95), word("する", 201, 40, 95)};
    StrayWords::remove(words, nullptr);
    ASSERT_EQ(texts(words), QStringList({"行を折り返す", "する"}));
    EXPECT_TRUE(words[0].startsLine);
    EXPECT_FALSE(words[1].startsLine);
}

TEST(StrayWordsTest, DoubtfulWordOverSolidInkIsAShape) {
    PixPtr binary(pixCreate(400, 100, 1));
    pixRasterop(binary.get(), 200, 10, 60, 20, PIX_SET, nullptr, 0, 0);
    QList<RecognizedWord> words{word("Brushes", 0, 100, 95, true), word("ww we", 110, 80, 40),
                                word("mmm", 200, 60, 40)};
    EXPECT_EQ(StrayWords::remove(words, binary.get()), 1);
    EXPECT_EQ(texts(words), QStringList({"Brushes", "ww we"}));
}
