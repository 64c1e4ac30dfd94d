// The real qxc, each test running its own copy from the helper folder (qxc
// looks for its OCR helper beside itself): its output, and databases it cannot
// use or names it must not trust.
#include "BuildVersion.h"
#include "FakeOcrHelper.h"
#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "ShotFolders.h"
#include "ShotReader.h"
#include "ShotRows.h"
#include "ShotSql.h"
#include "SqliteConnection.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
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

class QxcCommandTest : public ShotFolders {
protected:
    void SetUp() override {
        QDir().mkpath(home.file("bin"));
        ASSERT_TRUE(QFile::copy(GLIMBER_BIN_DIR "/qxc", home.file("bin/qxc")));
    }
    CommandResult qxc(const QStringList& arguments, long fileSizeLimit = -1) const {
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
};

TEST_F(QxcCommandTest, HelpVersionMistakesAndQueriesWithoutADatabaseCreateNothing) {
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
    for (const QStringList& query : {QStringList{"recent"}, {"search", "x", "--json"}}) {
        const CommandResult result = qxc(query);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err, "qxc: no index yet: run qxc ocr\n");
    }
    EXPECT_FALSE(QFile::exists(home.file(".glimvault")));
}

TEST_F(QxcCommandTest, OcrGoesPastFilesThatFailOnceWithFakeHelper) {
    QStringList names;
    for (int i = 0; i < 45; ++i) // the newest 40 get no answer
        names.append(QString(i < 5 ? "good-%1.png" : "stray-%1.png").arg(i));
    addShots(names);
    installHelper(FakeOcrHelper::echo);
    const CommandResult first = qxc({"ocr"});
    EXPECT_EQ(first.exitCode, 0) << qPrintable(first.err);
    EXPECT_EQ(first.out, "45 new, 5 recognised, 40 pending, 0 unreadable\n");
    EXPECT_TRUE(first.err.isEmpty()) << "no progress bar without a terminal";
    EXPECT_EQ(qxc({"ocr"}).out, "0 new, 0 recognised, 40 pending, 0 unreadable\n");
}

TEST_F(QxcCommandTest, SearchGivesWhatTheLibrarysQueryGivesWithFakeHelper) {
    addShots({"shot-0.png", "shot-1.png", "shot-2.png", "shot-3.png"});
    installHelper(FakeOcrHelper::echo);
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

    const QString json = qxc({"recent", "--json", "--limit", "1"}).out;
    ASSERT_EQ(json.count('\n'), 1);
    const QJsonObject newest = QJsonDocument::fromJson(json.toUtf8()).object();
    EXPECT_EQ(newest.value("path").toString(), desktop("shot-3.png"));
    EXPECT_EQ(newest.value("takenAt").toString(), "2023-11-14T22:13:23Z");
}

// The real helper reads a picture of two lines; the boxes of the word found
// stand where it was drawn, go when the file changes, and come back for shots
// read before boxes were kept once `qxc ocr --reread` has read them again.
TEST_F(QxcCommandTest, JsonResultsSayWhereTheFoundWordsStandAndRereadFillsOlderShots) {
    ASSERT_TRUE(QFile::copy(GLIMBER_BIN_DIR "/qxocr", helper()));
    QDir().mkpath(desktop());
    const QImage picture = TestImages::text({"Quarterly invoice", "Payment received"});
    ASSERT_TRUE(picture.save(desktop("bill.png")));
    ASSERT_EQ(qxc({"ocr"}).exitCode, 0);
    const auto boxes = [this] {
        const QJsonObject found =
            QJsonDocument::fromJson(qxc({"search", "invoice", "--json"}).out.toUtf8()).object();
        EXPECT_EQ(found.value("match").toString(), "exact");
        QList<QRect> rects;
        for (const QJsonValue box : found.value("boxes").toArray()) {
            const QJsonObject b = box.toObject();
            rects.append(QRect(b["x"].toInt(), b["y"].toInt(), b["w"].toInt(), b["h"].toInt()));
        }
        return rects;
    };
    const QList<QRect> invoice = boxes();
    ASSERT_EQ(invoice.size(), 1);
    EXPECT_LT(invoice[0].bottom(), picture.height() / 2) << "the first line";
    EXPECT_GT(invoice[0].left(), picture.width() / 3) << "the second word";
    EXPECT_TRUE(picture.rect().contains(invoice[0]));

    ShotRows::exec(database(), "DELETE FROM shot_words");
    EXPECT_EQ(boxes(), QList<QRect>()) << "read before boxes were kept";
    const CommandResult reread = qxc({"ocr", "--reread"});
    EXPECT_EQ(reread.exitCode, 0);
    EXPECT_TRUE(reread.err.contains("1 shots to read again")) << reread.err.toStdString();
    EXPECT_EQ(boxes(), invoice);

    TestFiles::setModificationTime(desktop("bill.png"), 1'800'000'000);
    EXPECT_EQ(boxes(), QList<QRect>()) << "the file changed since it was read";
}

// The index answers for a file it read as the file is now, so the fake helper
// is asked only about the others: "Text of PATH".
TEST_F(QxcCommandTest,
       TextComesFromTheIndexWhileTheFileIsUnchangedElseFromTheHelperWithFakeHelper) {
    installHelper(FakeOcrHelper::echo);
    addShots({"indexed.png", "changed.png", "blank.png"});
    ASSERT_EQ(qxc({"ocr"}).exitCode, 0);
    ShotRows::exec(database(), "UPDATE shots SET ocr_text = 'From the index' WHERE "
                               "filename IN ('indexed.png', 'changed.png');"
                               "UPDATE shots SET ocr_text = '' WHERE filename = 'blank.png'");
    QFile::remove(helper() + ".ran");
    const CommandResult indexed = qxc({"text", desktop("indexed.png")});
    EXPECT_EQ(indexed.exitCode, 0);
    EXPECT_EQ(indexed.out, "From the index\n");
    EXPECT_FALSE(QFile::exists(helper() + ".ran")) << "the helper is not needed";
    EXPECT_EQ(qxc({"text", desktop("blank.png")}).exitCode, 1) << "read before, without text";

    TestFiles::setModificationTime(desktop("changed.png"), 1'800'000'000);
    TestFiles::write(desktop("new.png"), "image");
    TestFiles::write(desktop("bad-x.png"), "image");
    const CommandResult several =
        qxc({"text", desktop("changed.png"), desktop("new.png"), desktop("bad-x.png")});
    EXPECT_EQ(several.exitCode, 0);
    EXPECT_EQ(several.out, "==> " + desktop("changed.png") + " <==\nText of " +
                               desktop("changed.png") + "\n==> " + desktop("new.png") +
                               " <==\nText of " + desktop("new.png") + "\n==> " +
                               desktop("bad-x.png") + " <==\n");
    EXPECT_EQ(several.err, "qxc: " + desktop("bad-x.png") + ": unreadable\n");

    const CommandResult json =
        qxc({"text", "--json", desktop("indexed.png"), desktop("bad-x.png")});
    const QStringList lines = json.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first.value("path").toString(), desktop("indexed.png"));
    EXPECT_EQ(first.value("text").toString(), "From the index");
    EXPECT_TRUE(first.value("boxes").isArray());
    EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object().value("error"), "unreadable");

    EXPECT_EQ(qxc({"text", desktop("bad-x.png")}).exitCode, 1);
    EXPECT_EQ(qxc({"text"}).exitCode, 2);
    EXPECT_EQ(qxc({"text", "--fast", desktop("new.png")}).exitCode, 2);
    QFile::remove(helper());
    EXPECT_EQ(qxc({"text", desktop("indexed.png")}).exitCode, 0) << "no helper needed";
    EXPECT_EQ(qxc({"text", desktop("new.png")}).exitCode, 5);
}

// An older build's database has no search index: searches say they read every
// shot until `qxc ocr` has built it, even without an OCR helper.
TEST_F(QxcCommandTest, SearchesSaySoUntilOcrHasBuiltTheSearchIndexWithoutAHelper) {
    addShots({"a.png", "new.png"});
    QDir().mkpath(home.file(".glimvault"));
    ShotRows::exec(database(), QString::fromLatin1(ShotSql::schema) +
                                   "; INSERT INTO shots(path, filename, ocr_text, ocr_done, "
                                   "indexed_at) VALUES('" +
                                   desktop("a.png") + "', 'a.png', '保存', 1, 'now')");
    const CommandResult before = qxc({"search", "保存"});
    EXPECT_TRUE(before.err.contains("has not been built")) << qPrintable(before.err);
    EXPECT_EQ(before.out, desktop("a.png") + '\n');
    const CommandResult ocr = qxc({"ocr"});
    EXPECT_EQ(ocr.exitCode, 5);
    EXPECT_EQ(ocr.out, "1 new, 0 recognised, 1 pending, 0 unreadable\n");
    EXPECT_TRUE(ocr.err.contains("no OCR helper")) << qPrintable(ocr.err);
    const CommandResult after = qxc({"search", "保存"});
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(after.err, "");
}

TEST_F(QxcCommandTest, AFileThatIsNotAGlimberIndexIsLeftAsItWasAndSaidSo) {
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
    installHelper(FakeOcrHelper::echo);
    for (const auto& foreign : cases) {
        SCOPED_TRACE(foreign.kind);
        QFile::remove(database());
        if (foreign.schema)
            ASSERT_TRUE(SqliteConnection::openReadWrite(database(), 0)->exec(foreign.schema));
        else
            TestFiles::write(database(), QByteArray(4096, '\x5a'));
        const QByteArray before = TestFiles::read(database());
        for (const QStringList& command : {QStringList{"ocr"}, {"recent"}, {"search", "x"}}) {
            const CommandResult result = qxc(command);
            EXPECT_EQ(result.exitCode, 4);
            EXPECT_EQ(result.err,
                      "qxc: " + database() + " is not a Glimber index (" + foreign.reason + ")\n");
            EXPECT_EQ(result.out, "");
        }
        EXPECT_EQ(TestFiles::read(database()), before);
    }
}

TEST_F(QxcCommandTest, ALockedIndexIsBusyNotEmptyWithFakeHelper) {
    TestFiles::write(desktop("a.png"));
    qxc({"ocr"}); // no helper yet: the row stays pending
    installHelper(FakeOcrHelper::echo);
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
        const CommandResult result = qxc(locked.command);
        EXPECT_EQ(result.exitCode, 4);
        EXPECT_EQ(result.err, "qxc: the index is busy (" + database() + ": database is locked)\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(QxcCommandTest, AFullDiskEndsTheRunWithAWriteErrorWithFakeHelper) {
    TestFiles::write(desktop("pending.png"));
    qxc({"ocr"});
    for (int i = 0; i < 40; ++i)
        TestFiles::write(desktop(QStringLiteral("new-%1.png").arg(i)));
    installHelper(FakeOcrHelper::echo);
    const CommandResult full = qxc({"ocr"}, 4096);
    EXPECT_EQ(full.exitCode, 4);
    EXPECT_TRUE(full.err.startsWith("qxc: cannot write the index (" + database() + "): "))
        << qPrintable(full.err);
    EXPECT_EQ(full.out, "") << "nothing was inserted or recognised";
    EXPECT_EQ(qxc({"ocr"}).out, "40 new, 41 recognised, 0 pending, 0 unreadable\n");
}

TEST_F(QxcCommandTest, NamesTheIndexCannotHoldAreSkippedAndOthersPrintSafely) {
    QDir().mkpath(desktop());
    for (const QByteArray& name :
         {QByteArray("not-utf8-\xff.png"), QByteArray("line\nfeed.png"), QByteArray("cr\r.png"),
          QByteArray("colour-\x1b[31m.png"), QByteArray("plain.png")}) {
        const int fd = ::open(QFile::encodeName(desktop()) + name, O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const CommandResult ocr = qxc({"ocr"});
    EXPECT_EQ(ocr.out, "2 new, 0 recognised, 2 pending, 0 unreadable\n");
    EXPECT_EQ(ocr.err.count("qxc: skipped 3 image files:"), 1) << qPrintable(ocr.err);

    const QString plain = qxc({"recent"}).out;
    EXPECT_TRUE(plain.contains(desktop("colour-\\x1b[31m.png") + '\n')) << qPrintable(plain);
    EXPECT_FALSE(plain.contains('\x1b'));
    QStringList exact;
    for (const QString& line : qxc({"recent", "--json"}).out.split('\n', Qt::SkipEmptyParts))
        exact.append(QJsonDocument::fromJson(line.toUtf8()).object().value("path").toString());
    exact.sort();
    EXPECT_EQ(exact, QStringList({desktop("colour-\x1b[31m.png"), desktop("plain.png")}));
}

} // namespace
