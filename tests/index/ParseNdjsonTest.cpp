#include "OcrRun.h"

#include <gtest/gtest.h>

TEST(ParseNdjson, MapsEachPathToItsTextOrToNoneOnError) {
    using Texts = QHash<QString, std::optional<QString>>;
    const std::pair<const char*, Texts> cases[] = {
        {"{\"path\": \"/a\", \"text\": \"Hello\\nWorld\"}\n{\"path\": \"/b\", \"text\": \"\"}\n",
         {{"/a", "Hello\nWorld"}, {"/b", ""}}},
        // An error key means no text, whatever else the line says.
        {"{\"path\": \"/a\", \"error\": \"unreadable\", \"text\": \"x\"}\n"
         "{\"path\": \"/b\", \"error\": null}\n",
         {{"/a", std::nullopt}, {"/b", std::nullopt}}},
        // A text that is not a string counts as empty.
        {"{\"path\": \"/a\", \"text\": 42}\n{\"path\": \"/b\"}\n", {{"/a", ""}, {"/b", ""}}},
        // What is not an object with a string path is skipped.
        {"not json\n[\"/a\"]\n{\"path\": 7, \"text\": \"x\"}\n{\"text\": \"x\"}\n"
         "{\"path\": \"/ok\", \"text\": \"fine\"}\n{\"path\": \"/cut\", \"te",
         {{"/ok", "fine"}}},
        {"\n\n  \t{\"path\": \"/a\", \"text\": \"a\"} \t\n\u3000{\"path\": \"/b\", \"text\": "
         "\"b\"}\n\n",
         {{"/a", "a"}, {"/b", "b"}}},
        // The last line for a path wins.
        {"{\"path\": \"/a\", \"text\": \"first\"}\n{\"path\": \"/a\", \"error\": \"later\"}\n"
         "{\"path\": \"/b\", \"error\": \"x\"}\n{\"path\": \"/b\", \"text\": \"second\"}\n",
         {{"/a", std::nullopt}, {"/b", "second"}}},
        // CRLF does not end a line, but CR and LF are JSON white space.
        {"{\"path\": \"/a\", \"text\": \"a\"}\r\n{\"path\": \"/b\", \"text\": \"b\"}\r\n", {}},
        {"{\"path\": \"/a\", \"text\": \"a\"}\r\n", {{"/a", "a"}}},
    };
    for (const auto& [output, expected] : cases)
        EXPECT_EQ(OcrRun::parseNdjson(QString::fromUtf8(output)), expected) << output;
}
