#include "QxocrProcess.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class QxocrProtocolTest : public ::testing::Test {
protected:
    QString blankPicture(const QString& name) const {
        const QString path = home.file(name);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(TestImages::filled(120, 80, Qt::white).save(path, "png"));
        return path;
    }
    QString errorFor(const QxocrProcess::Run& run, const QString& path) const {
        return run.lineFor(path).value("error").toString();
    }

    SandboxHome home;
};

TEST_F(QxocrProtocolTest, AnswersEveryPathWithOneLineAndExitsZero) {
    TestFiles::write(home.file("notes.png"), "plain text, not a picture\n");
    const QString spaced = blankPicture("スクリーン ショット/画面 1.png");
    const QString last = blankPicture("last.png");
    // Blank lines are skipped; the last path needs no line feed.
    const QxocrProcess::Run run =
        QxocrProcess::run(("\n" + home.file("gone.png") + "\n" + home.file("notes.png") + "\n\n" +
                           spaced + "\n" + spaced + "\n" + last)
                              .toUtf8());
    EXPECT_TRUE(run.exitedNormally);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), 5) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains('\r'));
    EXPECT_TRUE(run.output.endsWith('\n'));
    EXPECT_EQ(errorFor(run, home.file("gone.png")), "no such file");
    EXPECT_EQ(errorFor(run, home.file("notes.png")), "not an image");
    EXPECT_FALSE(run.lineFor(spaced).contains("error"));
    EXPECT_EQ(run.lineFor(spaced).value("text"), QJsonValue(QString())) << "empty, not missing";
    EXPECT_TRUE(run.lineFor(last).contains("text"));
    EXPECT_TRUE(QxocrProcess::run(QByteArray()).output.isEmpty());
}

TEST_F(QxocrProtocolTest, MissingLanguageDataFailsEachImageButNotTheRun) {
    const QString first = blankPicture("a.png");
    const QString second = blankPicture("b.png");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TESSDATA_PREFIX", home.path());
    const QxocrProcess::Run run =
        QxocrProcess::run((first + u'\n' + second + u'\n').toUtf8(), environment);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), 2);
    EXPECT_EQ(errorFor(run, first), "cannot load Tesseract language data \"eng+jpn\"");
    EXPECT_EQ(errorFor(run, second), errorFor(run, first));
}

// A line arrives while the helper still waits for more input, so a crash later
// loses nothing already done. Recognition runs with OpenMP held to one thread.
TEST_F(QxocrProtocolTest, WritesEachLineAsSoonAsThePictureIsDone) {
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMP_THREAD_LIMIT", "4");
    helper.setProcessEnvironment(environment);
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.start(QxocrProcess::program(), {});
    ASSERT_TRUE(helper.waitForStarted());
    helper.write((blankPicture("first.png") + u'\n').toUtf8());
    while (!helper.canReadLine() && helper.waitForReadyRead(60'000)) {
    }
    EXPECT_TRUE(helper.readLine().contains("\"text\""));
    QFile environ(QStringLiteral("/proc/%1/environ").arg(helper.processId()));
    ASSERT_TRUE(environ.open(QIODevice::ReadOnly));
    EXPECT_TRUE(environ.readAll().split('\0').contains("OMP_THREAD_LIMIT=1"));
    helper.closeWriteChannel();
    EXPECT_TRUE(helper.waitForFinished(60'000));
    EXPECT_EQ(helper.exitCode(), 0);
}

// The recogniser's models (tens of MB) are in memory before any path comes.
TEST_F(QxocrProtocolTest, WarmLoadsTheRecogniserBeforeTheFirstPathAndOtherOptionsAreRefused) {
    QProcess helper;
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.start(QxocrProcess::program(), {"--warm"});
    ASSERT_TRUE(helper.waitForStarted());
    const auto residentMegabytes = [&helper] {
        QFile status(QStringLiteral("/proc/%1/status").arg(helper.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return 0.0;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
        return 0.0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return residentMegabytes() > 60; }, 30'000))
        << residentMegabytes() << " MB";
    helper.write((blankPicture("first.png") + u'\n').toUtf8());
    while (!helper.canReadLine() && helper.waitForReadyRead(60'000)) {
    }
    EXPECT_TRUE(helper.readLine().contains("\"text\""));
    helper.closeWriteChannel();
    EXPECT_TRUE(helper.waitForFinished(60'000));
    EXPECT_EQ(helper.exitCode(), 0);

    QProcess refused;
    refused.start(QxocrProcess::program(), {"--fast"});
    ASSERT_TRUE(refused.waitForFinished(10'000));
    EXPECT_EQ(refused.exitCode(), 2);
}

// A page large enough to be read as two halves at once reads as it does whole:
// every line, in order, whichever half it fell in.
TEST_F(QxocrProtocolTest, WarmReadsALargePageAsTwoHalvesAsItReadsWhole) {
    QStringList lines;
    for (int i = 1; i <= 24; ++i)
        lines.append(QStringLiteral("Line %1 of the order %2").arg(i).arg(QChar(u'A' + i - 1)));
    const QString page = home.file("page.png");
    ASSERT_TRUE(TestImages::text(lines, {14}).save(page));
    const auto textOf = [&page](const QStringList& arguments) {
        QProcess helper;
        helper.setStandardErrorFile(QProcess::nullDevice());
        helper.start(QxocrProcess::program(), arguments);
        helper.write((page + u'\n').toUtf8());
        helper.closeWriteChannel();
        helper.waitForFinished(60'000);
        return QJsonDocument::fromJson(helper.readAllStandardOutput())
            .object()
            .value("text")
            .toString();
    };
    const QString halves = textOf({"--warm"});
    EXPECT_EQ(halves, textOf({}));
    EXPECT_EQ(halves.count('\n'), 23);
}

// Nobody reads the answers any more: the helper stops instead of working on
// or dying of SIGPIPE.
TEST_F(QxocrProtocolTest, ReaderGoingAwayEndsTheRunQuietly) {
    const QString picture = blankPicture("a.png");
    QStringList paths;
    for (int i = 0; i < 50; ++i)
        paths.append(picture);
    TestFiles::write(home.file("paths.txt"), (paths.join(u'\n') + u'\n').toUtf8());
    QProcess shell;
    shell.start("bash", {"-c", "\"$0\" < \"$1\" | true; echo \"${PIPESTATUS[0]}\"",
                         QxocrProcess::program(), home.file("paths.txt")});
    ASSERT_TRUE(shell.waitForFinished(60'000));
    EXPECT_EQ(shell.readAllStandardOutput().trimmed(), QByteArray("0"));
}

} // namespace
