#include "QxcArguments.h"

#include "ShotJson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using Command = QxcArguments::Command;

TEST(QxcArguments, TakesTextAndOptionsInAnyOrder) {
    const struct {
        QStringList arguments;
        Command command;
        QString text;
        int limit;
        bool json;
    } cases[] = {
        {{"search", "--json", "save", "as", "--limit", "5"}, Command::search, "save as", 5, true},
        {{"recent"}, Command::recent, "", 200, false},
        {{"recent", "--limit=10"}, Command::recent, "", 10, false},
        {{"search", "--", "--force"}, Command::search, "--force", 200, false},
        {{"ocr"}, Command::ocr, "", 200, false},
        {{"--help"}, Command::help, "", 200, false},
        {{"-h"}, Command::help, "", 200, false},
        {{"search", "--help"}, Command::help, "", 200, false},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.arguments.join(' ').toStdString());
        const QxcArguments args = QxcArguments::parse(expected.arguments);
        EXPECT_EQ(args.command, expected.command);
        EXPECT_EQ(args.text, expected.text);
        EXPECT_EQ(args.limit, expected.limit);
        EXPECT_EQ(args.json, expected.json);
    }
}

TEST(QxcArguments, MistakesAreUsageErrorsWithOneLine) {
    for (const QStringList& bad : {QStringList{},
                                   {"frobnicate"},
                                   {"ocr", "now"},
                                   {"search"},
                                   {"search", "x", "--limit"},
                                   {"search", "x", "--limit", "0"},
                                   {"search", "x", "--limit", "-3"},
                                   {"recent", "--limit", "ten"},
                                   {"recent", "--limit", "99999999999"},
                                   {"recent", "words"},
                                   {"recent", "--verbose"}}) {
        const QxcArguments args = QxcArguments::parse(bad);
        EXPECT_EQ(args.command, Command::usageError) << qPrintable(bad.join(' '));
        EXPECT_FALSE(args.error.isEmpty());
        EXPECT_FALSE(args.error.contains('\n'));
    }
}

TEST(ShotJson, FieldsInOrderNullForMissingValuesAndEscapedSoEveryLineParsesBack) {
    EXPECT_EQ(ShotJson::line({7, "/a/b.png", "b.png", std::nullopt, std::nullopt}),
              R"({"id":7,"path":"/a/b.png","filename":"b.png","takenAt":null,"ocrText":null})");
    EXPECT_EQ(ShotJson::line({7, "/a/b.png", "b.png", std::nullopt, "x", ShotMatch::words}, true),
              R"({"id":7,"path":"/a/b.png","filename":"b.png","takenAt":null,"ocrText":"x",)"
              R"("match":"words","boxes":[]})")
        << "a search's results say how they matched, after the older members";
    const Shot shot{9007199254740993, "/x/\"q\".png", "\"q\".png", "2025-03-14T09:26:53",
                    QString::fromUtf8("line one\nline\ttwo \\ 日本語 \x01")};
    const QByteArray line = ShotJson::line(shot);
    EXPECT_FALSE(line.contains('\n'));
    EXPECT_TRUE(line.startsWith("{\"id\":9007199254740993,"));
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    EXPECT_EQ(object.value("path").toString(), shot.path);
    EXPECT_EQ(object.value("takenAt").toString(), *shot.takenAt);
    EXPECT_EQ(object.value("ocrText").toString(), *shot.ocrText);
}
