#include "FakeOcrHelper.h"
#include "SandboxHome.h"
#include "ShotIndex.h"
#include "ShotRows.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class OcrBatchTest : public ::testing::Test {
protected:
    QString database() const { return home.file(".glimvault/db.sqlite"); }
    QString shot(const QString& name) const { return home.file("Desktop/" + name); }
    QString helper() const { return home.file("bin/qxocr"); }

    // Files whose modification times follow the list order, the first the oldest.
    void addShots(const QStringList& names) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            TestFiles::write(shot(names[i]), "image");
            TestFiles::setModificationTime(shot(names[i]), 1'700'000'000 + i);
        }
        index.openDB();
        index.scan();
    }
    void installHelper(const QByteArray& body) { TestFiles::writeScript(helper(), body); }
    std::optional<ShotRow> row(const QString& name) {
        return ShotRows::byFilename(database(), name);
    }

    SandboxHome home;
    ShotIndexOptions options{home.file(".glimvault/db.sqlite"), home.file("bin/qxocr"), 120'000};
    ShotIndex index{options};
};

TEST_F(OcrBatchTest, StoresTheTextOfEveryRecognisedRowWithFakeHelper) {
    addShots({"a.png", "b.png", "c.png"});
    installHelper(FakeOcrHelper::echo);
    const OcrBatch batch = index.runOcr(40);
    EXPECT_TRUE(batch.helperFound);
    EXPECT_EQ(batch.offered, 3);
    EXPECT_EQ(batch.recognised, 3);
    EXPECT_EQ(row("b.png")->ocrText, "Text of " + shot("b.png"));
    EXPECT_TRUE(row("b.png")->ocrDone);
    EXPECT_EQ(index.pendingCount(), 0);
}

TEST_F(OcrBatchTest, HelperReadsTheNewestPathsOnStandardInputWithFakeHelper) {
    addShots({"old.png", "mid.png", QString::fromUtf8("新しい スクショ.png")});
    const QString record = home.file("input.txt");
    installHelper("echo \"$#\" > '" + record.toUtf8() + ".args'\ncat > '" + record.toUtf8() +
                  "'\n");
    index.runOcr(2);
    QFile input(record);
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(input.readAll()),
              shot(QString::fromUtf8("新しい スクショ.png")) + "\n" + shot("mid.png") + "\n");
    QFile args(record + ".args");
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll(), "0\n");
}

TEST_F(OcrBatchTest, PathsWithSpacesAndJapaneseMatchExactlyWithFakeHelper) {
    addShots({QString::fromUtf8("画面 収録 1.png")});
    installHelper(FakeOcrHelper::echo);
    EXPECT_EQ(index.runOcr(40).recognised, 1);
    EXPECT_EQ(row(QString::fromUtf8("画面 収録 1.png"))->ocrText,
              "Text of " + shot(QString::fromUtf8("画面 収録 1.png")));
}

TEST_F(OcrBatchTest, ErrorLinesStoreNoTextWithFakeHelper) {
    addShots({"a.png", "b.png"});
    installHelper(
        "while IFS= read -r p; do printf '{\"path\": \"%s\", \"error\": \"bad\", \"text\": "
        "\"x\"}\\n' \"$p\"; done\n");
    EXPECT_EQ(index.runOcr(40).recognised, 0);
    EXPECT_EQ(row("a.png")->ocrText, std::nullopt);
    EXPECT_EQ(index.pendingCount(), 0);
}

TEST_F(OcrBatchTest, OddLinesAreHandledOneByOneWithFakeHelper) {
    addShots({"number.png", "ignored.png", "nul.png"});
    installHelper("printf '{\"path\": \"%s\", \"text\": 42}\\n' '" + shot("number.png").toUtf8() +
                  "'\n"
                  "printf '{\"path\": \"/not/in/the/batch.png\", \"text\": \"x\"}\\n'\n"
                  "printf 'garbage\\n'\n"
                  "printf '{\"path\": \"%s\", \"text\": \"before\\\\u0000after\"}\\n' '" +
                  shot("nul.png").toUtf8() + "'\n");
    EXPECT_EQ(index.runOcr(40).recognised, 2);
    EXPECT_EQ(row("number.png")->ocrText, "");
    EXPECT_TRUE(row("number.png")->ocrDone);
    EXPECT_FALSE(row("ignored.png")->ocrDone);
    // Text is bound NUL-terminated, so it ends at the first NUL.
    EXPECT_EQ(row("nul.png")->ocrText, "before");
}

TEST_F(OcrBatchTest, CrlfOutputStoresNothingButGoneRowsAreDoneWithFakeHelper) {
    addShots({"gone.png", "a.png", "b.png"});
    QFile::remove(shot("gone.png"));
    installHelper(
        "while IFS= read -r p; do printf '{\"path\": \"%s\", \"text\": \"t\"}\\r\\n' \"$p\"; "
        "done\n");
    EXPECT_EQ(index.runOcr(40).recognised, 0);
    EXPECT_TRUE(row("gone.png")->ocrDone);
    EXPECT_EQ(row("gone.png")->ocrText, std::nullopt);
    EXPECT_FALSE(row("a.png")->ocrDone);
    EXPECT_FALSE(row("b.png")->ocrDone);
}

TEST_F(OcrBatchTest, LinesPrintedBeforeACrashCountWithFakeHelper) {
    addShots({"a.png", "b.png", "c.png"});
    installHelper("IFS= read -r p\nprintf '{\"path\": \"%s\", \"text\": \"one\"}\\n' \"$p\"\nkill "
                  "-SEGV $$\n");
    EXPECT_EQ(index.runOcr(40).recognised, 1);
    EXPECT_EQ(row("c.png")->ocrText, "one");
    EXPECT_EQ(index.pendingCount(), 2);
}

TEST_F(OcrBatchTest, AHungHelperIsKilledAndEarlierLinesCountWithFakeHelper) {
    options.helperIdleTimeoutMs = 300;
    ShotIndex impatient(options);
    addShots({"a.png", "b.png"});
    impatient.openDB();
    installHelper("IFS= read -r p\nprintf '{\"path\": \"%s\", \"text\": \"one\"}\\n' \"$p\"\nexec "
                  "sleep 60\n");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(impatient.runOcr(40).recognised, 1);
    EXPECT_LT(clock.elapsed(), 30'000);
    EXPECT_EQ(row("b.png")->ocrText, "one");
}

TEST_F(OcrBatchTest, OutputThatIsNotUtf8CountsAsEmptyWithFakeHelper) {
    addShots({"a.png"});
    installHelper(
        "while IFS= read -r p; do printf '{\"path\": \"%s\", \"text\": \"\\377\"}\\n' \"$p\"; "
        "done\n");
    EXPECT_EQ(index.runOcr(40).recognised, 0);
    EXPECT_FALSE(row("a.png")->ocrDone);
}

TEST_F(OcrBatchTest, WithoutAHelperNothingIsTouched) {
    addShots({"gone.png"});
    QFile::remove(shot("gone.png"));
    const OcrBatch batch = index.runOcr(40);
    EXPECT_FALSE(batch.helperFound);
    EXPECT_EQ(batch.offered, 0);
    EXPECT_FALSE(row("gone.png")->ocrDone);
}

TEST_F(OcrBatchTest, ABatchOfGoneFilesNeverStartsTheHelperWithFakeHelper) {
    addShots({"a.png", "b.png"});
    QFile::remove(shot("a.png"));
    QFile::remove(shot("b.png"));
    const QString marker = home.file("helper-ran");
    installHelper("touch '" + marker.toUtf8() + "'\n");
    EXPECT_EQ(index.runOcr(40).recognised, 0);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(row("a.png")->ocrDone);
    EXPECT_EQ(row("a.png")->ocrText, std::nullopt);
}

TEST_F(OcrBatchTest, FailingFilesGoToTheBackOfTheLineWithFakeHelper) {
    QStringList names;
    for (int i = 0; i < 5; ++i)
        names.append(QStringLiteral("good-%1.png").arg(i));
    for (int i = 0; i < 40; ++i)
        names.append(QStringLiteral("bad-%1.png").arg(i)); // the newest 40
    addShots(names);
    installHelper(FakeOcrHelper::silentOnBad);

    const OcrBatch first = index.runOcr(40);
    EXPECT_EQ(first.offered, 40);
    EXPECT_EQ(first.recognised, 0);
    EXPECT_FALSE(first.onlyRetries);

    const OcrBatch second = index.runOcr(40);
    EXPECT_EQ(second.offered, 5);
    EXPECT_EQ(second.recognised, 5);

    const OcrBatch third = index.runOcr(40);
    EXPECT_EQ(third.offered, 40);
    EXPECT_TRUE(third.onlyRetries);
    EXPECT_EQ(third.recognised, 0);
    EXPECT_EQ(index.pendingCount(), 40);
}

} // namespace
