#include "QxocrProcess.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QJsonObject lineFor(const QxocrProcess::Run& run, const QString& path) {
    for (const QJsonObject& line : run.lines) {
        if (line.value(QStringLiteral("path")).toString() == path)
            return line;
    }
    return {};
}

QString errorFor(const QxocrProcess::Run& run, const QString& path) {
    return lineFor(run, path).value(QStringLiteral("error")).toString();
}

QString blankPicture(const SandboxHome& home, const QString& name) {
    const QString path = home.file(name);
    QDir().mkpath(QFileInfo(path).path());
    QImage blank(120, 80, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_TRUE(blank.save(path, "png"));
    return path;
}

// The helper's environment as the kernel shows it, once it holds `entry`.
bool environmentReaches(qint64 pid, const QByteArray& entry) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(entry))
            return true;
        QThread::msleep(10);
    }
    return false;
}

} // namespace

TEST(QxocrProtocolTest, AnswersEveryPathWithOneLineAndExitsZero) {
    SandboxHome home;
    const QString text = home.file(QStringLiteral("notes.png"));
    TestFiles::write(text, "plain text, not a picture\n");
    const QString empty = home.file(QStringLiteral("empty.png"));
    TestFiles::write(empty);
    const QString truncated = home.file(QStringLiteral("truncated.png"));
    TestImages::writeTruncatedPng(truncated);
    const QString huge = home.file(QStringLiteral("huge.png"));
    TestImages::writeOversizedPngHeader(huge, 200000, 200000);
    const QString spaced = blankPicture(home, QStringLiteral("スクリーン ショット/画面 1.png"));
    const QString missing = home.file(QStringLiteral("gone.png"));

    const QStringList paths{missing, home.path(), text, empty, truncated, huge, spaced, spaced};
    const QxocrProcess::Run run = QxocrProcess::run(paths);

    EXPECT_TRUE(run.exitedNormally);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), paths.size()) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains('\r'));
    EXPECT_TRUE(run.output.endsWith('\n'));
    EXPECT_EQ(errorFor(run, missing), QStringLiteral("no such file"));
    EXPECT_EQ(errorFor(run, home.path()), QStringLiteral("is a folder"));
    EXPECT_EQ(errorFor(run, text), QStringLiteral("not an image"));
    EXPECT_EQ(errorFor(run, empty), QStringLiteral("empty file"));
    EXPECT_TRUE(errorFor(run, truncated).startsWith(QStringLiteral("cannot decode")));
    EXPECT_TRUE(errorFor(run, huge).startsWith(QStringLiteral("too large")));
    const QJsonObject blank = lineFor(run, spaced);
    EXPECT_FALSE(blank.contains(QStringLiteral("error")));
    EXPECT_EQ(blank.value(QStringLiteral("text")), QJsonValue(QString())) << "empty, not missing";
}

TEST(QxocrProtocolTest, MissingLanguageDataFailsEachImageButNotTheRun) {
    SandboxHome home;
    const QString first = blankPicture(home, QStringLiteral("a.png"));
    const QString second = blankPicture(home, QStringLiteral("b.png"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TESSDATA_PREFIX"), home.path());
    const QxocrProcess::Run run =
        QxocrProcess::run(((first + u'\n' + second + u'\n').toUtf8()), environment);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), 2);
    EXPECT_EQ(errorFor(run, first),
              QStringLiteral("cannot load Tesseract language data \"jpn+eng\""));
    EXPECT_EQ(errorFor(run, second), errorFor(run, first));
}

TEST(QxocrProtocolTest, NoInputNoOutput) {
    const QxocrProcess::Run run = QxocrProcess::run(QByteArray());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.isEmpty());
}

TEST(QxocrProtocolTest, TakesALastLineWithoutLineFeedAndSkipsBlankLines) {
    SandboxHome home;
    const QString first = blankPicture(home, QStringLiteral("a.png"));
    const QString last = blankPicture(home, QStringLiteral("b.png"));
    const QxocrProcess::Run run = QxocrProcess::run("\n" + first.toUtf8() + "\n\n" + last.toUtf8());
    EXPECT_EQ(run.lines.size(), 2);
    EXPECT_TRUE(lineFor(run, first).contains(QStringLiteral("text")));
    EXPECT_TRUE(lineFor(run, last).contains(QStringLiteral("text")));
}

// A line arrives while the helper still waits for more input, so a crash later
// loses nothing already done.
TEST(QxocrProtocolTest, WritesEachLineAsSoonAsThePictureIsDone) {
    SandboxHome home;
    const QString picture = blankPicture(home, QStringLiteral("first.png"));
    QProcess helper;
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.start(QxocrProcess::program(), {});
    ASSERT_TRUE(helper.waitForStarted());
    helper.write((picture + u'\n').toUtf8());
    ASSERT_TRUE(helper.waitForReadyRead(60'000));
    while (!helper.canReadLine() && helper.waitForReadyRead(60'000)) {
    }
    EXPECT_TRUE(helper.readLine().contains("\"text\""));
    helper.closeWriteChannel();
    EXPECT_TRUE(helper.waitForFinished(60'000));
    EXPECT_EQ(helper.exitCode(), 0);
}

// Nobody reads the answers any more: the helper stops instead of working on
// or dying of SIGPIPE.
TEST(QxocrProtocolTest, ReaderGoingAwayEndsTheRunQuietly) {
    SandboxHome home;
    const QString picture = blankPicture(home, QStringLiteral("a.png"));
    QStringList paths;
    for (int i = 0; i < 50; ++i)
        paths.append(picture);
    TestFiles::write(home.file(QStringLiteral("paths.txt")), (paths.join(u'\n') + u'\n').toUtf8());
    QProcess shell;
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("\"$0\" < \"$1\" | true; echo \"${PIPESTATUS[0]}\""),
                 QxocrProcess::program(), home.file(QStringLiteral("paths.txt"))});
    ASSERT_TRUE(shell.waitForFinished(60'000));
    EXPECT_EQ(shell.readAllStandardOutput().trimmed(), QByteArray("0"));
}

TEST(QxocrProtocolTest, RecognisesWithOpenMpLimitedToOneThread) {
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("4"));
    helper.setProcessEnvironment(environment);
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.start(QxocrProcess::program(), {});
    ASSERT_TRUE(helper.waitForStarted());
    EXPECT_TRUE(environmentReaches(helper.processId(), "OMP_THREAD_LIMIT=1"));
    helper.closeWriteChannel();
    EXPECT_TRUE(helper.waitForFinished(60'000));
    EXPECT_EQ(helper.exitCode(), 0);
}
