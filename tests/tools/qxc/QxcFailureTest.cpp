#include "FakeOcrHelper.h"
#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "SandboxHome.h"
#include "SqliteConnection.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct CommandResult {
    int exitCode = -1; // -1: crashed, or killed because it did not end
    QString out;
    QString err;
};

// A copy of the real qxc in a folder of its own, with or without a fake helper
// beside it, run against a database it cannot use or names it must not trust.
class QxcFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(home.file("bin"));
        QDir().mkpath(home.file("Desktop"));
        ASSERT_TRUE(QFile::copy(GLIMBER_BIN_DIR "/qxc", home.file("bin/qxc")));
    }
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString desktop(const QString& name) const { return home.file("Desktop/" + name); }
    QByteArray databaseBytes() const {
        QFile file(database());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    CommandResult run(const QStringList& arguments, long fileSizeLimit = -1) {
        QProcess process;
        if (fileSizeLimit >= 0)
            limitFileSize(process, fileSizeLimit);
        process.start(home.file("bin/qxc"), arguments);
        // Long enough for a 3 s busy timeout; a run that loops is killed.
        if (!process.waitForFinished(20'000))
            process.kill();
        process.waitForFinished();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    SandboxHome home;
};

TEST_F(QxcFailureTest, AFileThatIsNotAGlimberIndexIsLeftAsItWasAndSaidSo) {
    const struct {
        const char* kind;
        const char* schema;
        QString reason;
    } cases[] = {
        {"random bytes", nullptr, "file is not a database"},
        {"a table shots without ocr_text",
         "CREATE TABLE shots (id INTEGER PRIMARY KEY, path TEXT UNIQUE NOT NULL, filename TEXT, "
         "bytes INTEGER, mtime_ms INTEGER, taken_at TEXT, ocr_done INTEGER, indexed_at TEXT);"
         "INSERT INTO shots(path, ocr_done) VALUES('/nowhere.png', 0)",
         "its table shots has no column ocr_text"},
        {"another program's database", "CREATE TABLE moz_places (id INTEGER, url TEXT)",
         "it has no table shots"},
    };
    TestFiles::write(desktop("a.png"));
    TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::echo);
    for (const auto& foreign : cases) {
        SCOPED_TRACE(foreign.kind);
        QFile::remove(database());
        if (foreign.schema)
            ASSERT_TRUE(SqliteConnection::openReadWrite(database(), 0)->exec(foreign.schema));
        else
            TestFiles::write(database(), QByteArray(4096, '\x5a'));
        const QByteArray before = databaseBytes();
        for (const QStringList& command : {QStringList{"ocr"}, {"recent"}, {"search", "x"}}) {
            const CommandResult result = run(command);
            EXPECT_EQ(result.exitCode, 4);
            EXPECT_EQ(result.err,
                      "qxc: " + database() + " is not a Glimber index (" + foreign.reason + ")\n");
            EXPECT_EQ(result.out, "");
        }
        EXPECT_EQ(databaseBytes(), before);
    }
}

TEST_F(QxcFailureTest, ALockedIndexIsBusyNotEmptyWithFakeHelper) {
    TestFiles::write(desktop("a.png"));
    run({"ocr"}); // no helper yet: the row stays pending
    TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::echo);
    // Readers are shut out by an exclusive lock; a write lock lets the batch
    // read, so only its writes meet the lock.
    const struct {
        const char* lock;
        QStringList command;
    } cases[] = {{"BEGIN EXCLUSIVE", {"recent"}},
                 {"BEGIN EXCLUSIVE", {"search", "x"}},
                 {"BEGIN IMMEDIATE", {"ocr"}}};
    for (const auto& locked : cases) {
        SCOPED_TRACE(locked.command.join(' ').toStdString());
        std::optional<SqliteConnection> other = SqliteConnection::openReadWrite(database(), 0);
        ASSERT_TRUE(other->exec(locked.lock));
        const CommandResult result = run(locked.command);
        EXPECT_EQ(result.exitCode, 4);
        EXPECT_EQ(result.err, "qxc: the index is busy (" + database() + ": database is locked)\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(QxcFailureTest, AFullDiskEndsTheRunWithAWriteErrorWithFakeHelper) {
    TestFiles::write(desktop("pending.png"));
    run({"ocr"});
    for (int i = 0; i < 40; ++i)
        TestFiles::write(desktop(QStringLiteral("new-%1.png").arg(i)));
    TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::echo);
    const CommandResult full = run({"ocr"}, 4096);
    EXPECT_EQ(full.exitCode, 4);
    EXPECT_TRUE(full.err.startsWith("qxc: cannot write the index (" + database() + "): "))
        << qPrintable(full.err);
    EXPECT_EQ(full.out, "") << "nothing was inserted or recognised";
    EXPECT_EQ(run({"ocr"}).out, "40 new, 41 recognised, 0 pending, 0 unreadable\n");
}

TEST_F(QxcFailureTest, NamesTheIndexCannotHoldAreSkippedAndOthersPrintSafely) {
    for (const QByteArray& name :
         {QByteArray("not-utf8-\xff.png"), QByteArray("line\nfeed.png"), QByteArray("cr\r.png"),
          QByteArray("colour-\x1b[31m.png"), QByteArray("plain.png")}) {
        const int fd = ::open(QFile::encodeName(desktop({})) + name, O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const CommandResult ocr = run({"ocr"});
    EXPECT_EQ(ocr.out, "2 new, 0 recognised, 2 pending, 0 unreadable\n");
    EXPECT_EQ(ocr.err.count("qxc: skipped 3 image files:"), 1) << qPrintable(ocr.err);

    const QString plain = run({"recent"}).out;
    EXPECT_TRUE(plain.contains(desktop("colour-\\x1b[31m.png") + '\n')) << qPrintable(plain);
    EXPECT_FALSE(plain.contains('\x1b'));
    QStringList exact;
    for (const QString& line : run({"recent", "--json"}).out.split('\n', Qt::SkipEmptyParts))
        exact.append(QJsonDocument::fromJson(line.toUtf8()).object().value("path").toString());
    exact.sort();
    EXPECT_EQ(exact, QStringList({desktop("colour-\x1b[31m.png"), desktop("plain.png")}));
}

} // namespace
