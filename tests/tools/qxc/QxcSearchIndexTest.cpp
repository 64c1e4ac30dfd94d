#include "SandboxHome.h"
#include "ShotSql.h"
#include "SqliteConnection.h"
#include "TestFiles.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Standard output and standard error of one run of the real qxc.
std::pair<QString, QString> qxc(const QStringList& arguments) {
    QProcess process;
    process.start(GLIMBER_BIN_DIR "/qxc", arguments);
    process.waitForFinished(60'000);
    return {QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// A database an older build left has no search index: qxc says its searches
// read every shot until `qxc ocr` has built the index.
TEST(QxcSearchIndex, SaysSoUntilOcrHasBuiltTheIndex) {
    SandboxHome home;
    const QString shot = home.file("Desktop/a.png");
    TestFiles::write(shot);
    TestFiles::write(home.file(".glimvault/db.sqlite"));
    auto db = SqliteConnection::openReadWrite(home.file(".glimvault/db.sqlite"), 3000);
    ASSERT_TRUE(db && db->exec(ShotSql::schema));
    ASSERT_TRUE(db->exec("INSERT INTO shots(path, filename, ocr_text, ocr_done, indexed_at) "
                         "VALUES('" +
                         shot.toUtf8() + "', 'a', '保存', 1, 'now')"));
    const auto [found, note] = qxc({"search", "保存"});
    EXPECT_TRUE(note.contains("has not been built")) << qPrintable(note);
    EXPECT_EQ(found, shot + '\n');

    qxc({"ocr"});
    EXPECT_EQ(qxc({"search", "保存"}), std::make_pair(found, QString()));
}

} // namespace
