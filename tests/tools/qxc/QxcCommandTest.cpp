#include "FakeOcrHelper.h"
#include "SandboxHome.h"
#include "ShotReader.h"
#include "TestFiles.h"

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

CommandResult run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// qxc looks for its OCR helper beside itself, so each test gets its own copy of
// the real qxc in a folder of its own, with or without a fake helper next to it.
class QxcCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(home.file("bin"));
        ASSERT_TRUE(QFile::copy(GLIMBER_BIN_DIR "/qxc", qxc()));
        QFile::setPermissions(qxc(), QFile::ReadOwner | QFile::ExeOwner);
    }
    QString qxc() const { return home.file("bin/qxc"); }
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString desktop(const QString& name) const { return home.file("Desktop/" + name); }
    void installFakeHelper() {
        TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::failsBad);
    }

    SandboxHome home;
};

TEST_F(QxcCommandTest, HelpAndUsageErrors) {
    const CommandResult help = run(qxc(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: qxc"));

    for (const QStringList& bad : {QStringList{}, {"frobnicate"}, {"recent", "--limit", "x"}}) {
        const CommandResult usage = run(qxc(), bad);
        EXPECT_EQ(usage.exitCode, 2);
        EXPECT_TRUE(usage.out.isEmpty());
        EXPECT_EQ(usage.err.count('\n'), 1) << qPrintable(usage.err);
    }
}

TEST_F(QxcCommandTest, QueriesWithoutADatabaseAreEmptyAndCreateNothing) {
    for (const QStringList& query : {QStringList{"recent"}, {"search", "x", "--json"}}) {
        const CommandResult result = run(qxc(), query);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(database()));
    EXPECT_FALSE(QFile::exists(home.file(".glimvault")));
}

TEST_F(QxcCommandTest, OcrIndexesImageFilesOnceWithFakeHelper) {
    for (const char* name :
         {"Screenshot 2025-03-14 at 09.26.53.png", "shot 2025-03-14_09.26.53.jpg",
          "Glimber 2026-12-05-14-03-09.png", "x.PNG", "notes.txt", "a.tif", ".h.png"})
        TestFiles::write(desktop(name), "image");
    QFile::link(desktop("x.PNG"), desktop("link.png"));
    QDir().mkpath(desktop("dir.png"));
    installFakeHelper();

    const CommandResult first = run(qxc(), {"ocr"});
    EXPECT_EQ(first.exitCode, 0) << qPrintable(first.err);
    EXPECT_EQ(first.out, "5 new, 5 recognised, 0 pending, 0 unreadable\n");
    EXPECT_TRUE(first.err.isEmpty()) << "no progress bar without a terminal";

    const CommandResult second = run(qxc(), {"ocr"});
    EXPECT_EQ(second.out, "0 new, 0 recognised, 0 pending, 0 unreadable\n");
    EXPECT_EQ(ShotReader(database()).recent(200).size(), 5);
}

TEST_F(QxcCommandTest, OcrWithoutAHelperScansAndSaysSo) {
    TestFiles::write(desktop("a.png"));
    TestFiles::write(home.file(".glimvault/captures/b.png"));
    const CommandResult result = run(qxc(), {"ocr"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "2 new, 0 recognised, 2 pending, 0 unreadable\n");
    EXPECT_TRUE(result.err.contains("no OCR helper")) << qPrintable(result.err);
}

TEST_F(QxcCommandTest, OcrGoesPastFilesThatFailWithFakeHelper) {
    for (int i = 0; i < 5; ++i) {
        TestFiles::write(desktop(QStringLiteral("good-%1.png").arg(i)));
        TestFiles::setModificationTime(desktop(QStringLiteral("good-%1.png").arg(i)), 1'000 + i);
    }
    for (int i = 0; i < 40; ++i) {
        TestFiles::write(desktop(QStringLiteral("bad-%1.png").arg(i)));
        TestFiles::setModificationTime(desktop(QStringLiteral("bad-%1.png").arg(i)), 2'000 + i);
    }
    installFakeHelper();
    EXPECT_EQ(run(qxc(), {"ocr"}).out, "45 new, 5 recognised, 0 pending, 40 unreadable\n");
}

TEST_F(QxcCommandTest, SearchGivesWhatTheLibrarysQueryGivesWithFakeHelper) {
    for (int i = 0; i < 4; ++i) {
        TestFiles::write(desktop(QStringLiteral("shot-%1.png").arg(i)));
        TestFiles::setModificationTime(desktop(QStringLiteral("shot-%1.png").arg(i)), 1'000 + i);
    }
    installFakeHelper();
    run(qxc(), {"ocr"});

    QStringList expected;
    for (const Shot& shot : ShotReader(database()).search("text OF", 200))
        expected.append(shot.path);
    ASSERT_EQ(expected.size(), 4);
    // Trimmed like the library's search field; ASCII case ignored; newest first.
    EXPECT_EQ(run(qxc(), {"search", "  text OF \t"}).out, expected.join('\n') + '\n');
    EXPECT_EQ(run(qxc(), {"search", "text OF", "--limit", "2"}).out,
              expected.mid(0, 2).join('\n') + '\n');
    EXPECT_EQ(run(qxc(), {"search", "shot-_.png"}).out.count('\n'), 4);
    EXPECT_EQ(run(qxc(), {"search", "nowhere"}).out, "");

    const QString json = run(qxc(), {"recent", "--json", "--limit", "1"}).out;
    ASSERT_EQ(json.count('\n'), 1);
    const QJsonObject newest = QJsonDocument::fromJson(json.toUtf8()).object();
    EXPECT_EQ(newest.value("path").toString(), desktop("shot-3.png"));
    EXPECT_EQ(newest.value("filename").toString(), "shot-3.png");
    EXPECT_EQ(newest.value("ocrText").toString(), "Text of " + desktop("shot-3.png"));
    EXPECT_EQ(newest.value("takenAt").toString(), "1970-01-01T00:16:43Z");
    EXPECT_TRUE(newest.value("id").isDouble());
}

} // namespace
