#include "NearMatch.h"

#include <gtest/gtest.h>

namespace {

bool near(const char* text, const char* word) {
    return NearMatch::holdsNear(text, NearMatch::normalized(QString::fromUtf8(word)));
}

TEST(NearMatch, OneEditAwayOrTheConfusionsOfRecognitionNotTwoEdits) {
    struct Case {
        const char* text;
        const char* word;
        bool near;
    };
    const Case cases[] = {
        {"Brush filter settings", "filter", true},  // as it is
        {"Brush lter settings", "filter", true},    // the first letters lost
        {"Brush fiilter settings", "filter", true}, // a letter too many
        {"Brush fi1ter settings", "filter", true},  // l as 1
        {"Brush flter settings", "filter", true},   // i as l: a confusion
        {"Brush ltr settings", "filter", false},    // two edits
        {"Brush fltrs settings", "filter", false},  // three
        {"LIMBER 1.0", "GLIMBER", true},            // a tight crop
        {"total 41OD", "4100", true},               // O and 0, then one edit
        {"the modem is", "modern", true},           // rn and m
        {"5ETUP", "SETUP", true},                   // S and 5
        {"リセット(P)", "プリセット", true},        // the first kana lost
        {"メニュ一を開く", "メニュー", true},       // the long vowel mark as 一
        {"リセ(P)", "プリセット", false},           // two kana lost
        {"", "filter", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(near(c.text, c.word), c.near) << c.text << " / " << c.word;
}

TEST(NearMatch, OnlyLongWordsWithoutWildcardsMayBeNear) {
    for (const char* word : {"filter", "GLIMBER", "プリセット", "設定を", "a_very_long"})
        EXPECT_EQ(NearMatch::eligible(QString::fromUtf8(word)),
                  std::string_view(word) != "a_very_long")
            << word;
    for (const char* word : {"file", "4100", "設定", "%filter"})
        EXPECT_FALSE(NearMatch::eligible(QString::fromUtf8(word))) << word;
}

TEST(NearMatch, TheIndexQueryAsksForTwoOfThreePiecesInEverySpellingTheirConfusionsAllow) {
    const QByteArray filter = NearMatch::candidateExpression("filter");
    for (const char* spelling : {R"(("fi") OR ("fl") OR ("f1"))", R"(("lt") OR ("it") OR ("1t"))"})
        EXPECT_TRUE(filter.contains(spelling)) << filter.data();
    EXPECT_EQ(filter.count(" AND "), 3) << "each pair of the three pieces: " << filter.data();
    const QByteArray paint = NearMatch::candidateExpression("paint");
    EXPECT_TRUE(paint.startsWith(R"(((("pa"))) OR ((("int") OR ("lnt") OR ("1nt"))))"))
        << "a short Latin word: either half, " << paint.data();
}

} // namespace
