#include "OcrRun.h"

#include <gtest/gtest.h>

using OcrRun::parseNdjson;

TEST(ParseNdjson, MapsEachPathToItsText) {
    const auto result = parseNdjson("{\"path\": \"/a.png\", \"text\": \"Hello\\nWorld\"}\n"
                                    "{\"path\": \"/b.png\", \"text\": \"\"}\n");
    ASSERT_EQ(result.size(), 2);
    EXPECT_EQ(result.value("/a.png"), QString("Hello\nWorld"));
    EXPECT_EQ(result.value("/b.png"), QString(""));
}

TEST(ParseNdjson, AnErrorKeyMeansNoTextWhateverElseTheLineSays) {
    const auto result =
        parseNdjson("{\"path\": \"/a.png\", \"error\": \"unreadable\", \"text\": \"x\"}\n"
                    "{\"path\": \"/b.png\", \"error\": null}\n");
    ASSERT_EQ(result.size(), 2);
    EXPECT_EQ(result.value("/a.png"), std::nullopt);
    EXPECT_EQ(result.value("/b.png"), std::nullopt);
}

TEST(ParseNdjson, ATextThatIsNotAStringCountsAsEmpty) {
    const auto result =
        parseNdjson("{\"path\": \"/a.png\", \"text\": 42}\n{\"path\": \"/b.png\"}\n");
    EXPECT_EQ(result.value("/a.png"), QString(""));
    EXPECT_EQ(result.value("/b.png"), QString(""));
}

TEST(ParseNdjson, SkipsWhatIsNotAnObjectWithAStringPath) {
    const auto result = parseNdjson("not json\n"
                                    "[\"/a.png\"]\n"
                                    "{\"path\": 7, \"text\": \"x\"}\n"
                                    "{\"text\": \"x\"}\n"
                                    "{\"path\": \"/ok.png\", \"text\": \"fine\"}\n"
                                    "{\"path\": \"/cut.png\", \"te");
    ASSERT_EQ(result.size(), 1);
    EXPECT_EQ(result.value("/ok.png"), QString("fine"));
}

TEST(ParseNdjson, AcceptsPaddingAndBlankLines) {
    const auto result =
        parseNdjson(QString::fromUtf8("\n\n  \t{\"path\": \"/a.png\", \"text\": \"a\"} \t\n"
                                      "\u3000{\"path\": \"/b.png\", \"text\": \"b\"}\n\n"));
    EXPECT_EQ(result.value("/a.png"), QString("a"));
    EXPECT_EQ(result.value("/b.png"), QString("b"));
}

TEST(ParseNdjson, TheLastLineForAPathWins) {
    const auto result = parseNdjson("{\"path\": \"/a.png\", \"text\": \"first\"}\n"
                                    "{\"path\": \"/a.png\", \"error\": \"later failure\"}\n"
                                    "{\"path\": \"/b.png\", \"error\": \"x\"}\n"
                                    "{\"path\": \"/b.png\", \"text\": \"second\"}\n");
    EXPECT_EQ(result.value("/a.png"), std::nullopt);
    EXPECT_EQ(result.value("/b.png"), QString("second"));
}

TEST(ParseNdjson, CrlfDoesNotEndALine) {
    // Two CRLF lines read as one piece, which is not one JSON object.
    EXPECT_TRUE(parseNdjson("{\"path\": \"/a.png\", \"text\": \"a\"}\r\n"
                            "{\"path\": \"/b.png\", \"text\": \"b\"}\r\n")
                    .isEmpty());
    // A single CRLF line still parses: CR and LF are JSON white space.
    EXPECT_EQ(parseNdjson("{\"path\": \"/a.png\", \"text\": \"a\"}\r\n").value("/a.png"),
              QString("a"));
}
