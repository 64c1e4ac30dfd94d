#include "BuildVersion.h"
#include "FakeOcrHelper.h"
#include "ShotFolders.h"
#include "ShotReader.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CommandResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// qxc looks for its OCR helper beside itself, so each test runs its own copy of
// the real qxc from the helper folder.
class QxcCommandTest : public ShotFolders {
protected:
    void SetUp() override {
        QDir().mkpath(home.file("bin"));
        ASSERT_TRUE(QFile::copy(GLIMBER_BIN_DIR "/qxc", home.file("bin/qxc")));
    }
    CommandResult qxc(const QStringList& arguments) const {
        QProcess process;
        process.start(home.file("bin/qxc"), arguments);
        process.waitForFinished(60'000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

TEST_F(QxcCommandTest, HelpVersionAndUsageErrors) {
    const CommandResult help = qxc({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: qxc"));
    const CommandResult version = qxc({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("qxc " GLIMBER_VERSION " (")) << qPrintable(version.out);
    const CommandResult usage = qxc({"recent", "--limit", "x"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.out.isEmpty());
    EXPECT_EQ(usage.err.count('\n'), 1) << qPrintable(usage.err);
}

TEST_F(QxcCommandTest, QueriesWithoutADatabaseSaySoAndCreateNothing) {
    for (const QStringList& query : {QStringList{"recent"}, {"search", "x", "--json"}}) {
        const CommandResult result = qxc(query);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err, "qxc: no index yet: run qxc ocr\n");
    }
    EXPECT_FALSE(QFile::exists(home.file(".glimvault")));
}

TEST_F(QxcCommandTest, OcrWithoutAHelperScansAndSaysSo) {
    TestFiles::write(desktop("a.png"));
    TestFiles::write(captures("b.png"));
    const CommandResult result = qxc({"ocr"});
    EXPECT_EQ(result.exitCode, 5);
    EXPECT_EQ(result.out, "2 new, 0 recognised, 2 pending, 0 unreadable\n");
    EXPECT_TRUE(result.err.contains("no OCR helper")) << qPrintable(result.err);
}

TEST_F(QxcCommandTest, OcrGoesPastFilesThatFailOnceWithFakeHelper) {
    QStringList names;
    for (int i = 0; i < 45; ++i) // the newest 40 get no answer
        names.append(QString(i < 5 ? "good-%1.png" : "stray-%1.png").arg(i));
    addShots(names);
    TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::echo);
    const CommandResult first = qxc({"ocr"});
    EXPECT_EQ(first.exitCode, 0) << qPrintable(first.err);
    EXPECT_EQ(first.out, "45 new, 5 recognised, 40 pending, 0 unreadable\n");
    EXPECT_TRUE(first.err.isEmpty()) << "no progress bar without a terminal";
    EXPECT_EQ(qxc({"ocr"}).out, "0 new, 0 recognised, 40 pending, 0 unreadable\n");
}

TEST_F(QxcCommandTest, SearchGivesWhatTheLibrarysQueryGivesWithFakeHelper) {
    addShots({"shot-0.png", "shot-1.png", "shot-2.png", "shot-3.png"});
    TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::echo);
    qxc({"ocr"});

    QStringList expected;
    for (const Shot& shot : ShotReader(database()).search("text OF", 200))
        expected.append(shot.path);
    ASSERT_EQ(expected.size(), 4);
    // Trimmed like the library's search field; ASCII case ignored; newest first.
    EXPECT_EQ(qxc({"search", "  text OF \t"}).out, expected.join('\n') + '\n');
    EXPECT_EQ(qxc({"search", "text OF", "--limit", "2"}).out, expected.mid(0, 2).join('\n') + '\n');
    EXPECT_EQ(qxc({"search", "shot-_.png"}).out.count('\n'), 4);
    const CommandResult none = qxc({"search", "nowhere"});
    EXPECT_EQ(none.exitCode, 1) << "nothing found, as grep says it";
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(qxc({"search", "text OF"}).exitCode, 0);

    const QString json = qxc({"recent", "--json", "--limit", "1"}).out;
    ASSERT_EQ(json.count('\n'), 1);
    const QJsonObject newest = QJsonDocument::fromJson(json.toUtf8()).object();
    EXPECT_EQ(newest.value("path").toString(), desktop("shot-3.png"));
    EXPECT_EQ(newest.value("takenAt").toString(), "2023-11-14T22:13:23Z");
}

} // namespace
