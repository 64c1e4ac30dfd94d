#include "AnnotationExport.h"

#include "AnnotateTestImages.h"
#include "AnnotationRenderer.h"
#include "AppLocale.h"
#include "SandboxHome.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using AnnotateTestImages::item;

namespace {

QString saved(const QString& name) {
    return AppLocale::text("Saved: ", "保存: ") + name;
}

class AnnotationExportTest : public ::testing::Test {
protected:
    AnnotationExportTest() {
        source_ = home_.file("Pictures/shot.png");
        AnnotateTestImages::noise(64, 48).save(source_);
        sourceBytes_ = readAll(source_);
        doc_.source = QImage(source_);
        doc_.items = {item(Annotation::Kind::rect, {8, 8, 30, 20}, 3, Qt::red)};
    }

    static QByteArray readAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString captures() const { return home_.file(".glimvault/captures"); }

    SandboxHome home_;
    QString source_;
    QByteArray sourceBytes_;
    AnnotationDoc doc_;
};

} // namespace

TEST_F(AnnotationExportTest, SavesNewNumberedFilesIntoTheSaveFolder) {
    EXPECT_EQ(AnnotationExport::save(doc_, source_), saved("shot-annotated.png"));
    EXPECT_EQ(AnnotationExport::save(doc_, source_), saved("shot-annotated-2.png"));
    EXPECT_EQ(AnnotationExport::save(doc_, source_), saved("shot-annotated-3.png"));
    const QImage written(captures() + "/shot-annotated.png");
    EXPECT_EQ(written.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              AnnotationRenderer::render(doc_));
    EXPECT_EQ(readAll(source_), sourceBytes_);
}

TEST_F(AnnotationExportTest, StatusReadsSavedAndTheNameInEnglish) {
    if (AppLocale::isJapanese())
        GTEST_SKIP() << "the user interface speaks Japanese here";
    EXPECT_EQ(AnnotationExport::save(doc_, source_), "Saved: shot-annotated.png");
    EXPECT_EQ(AnnotationExport::copyAnnotated(doc_), "Copied");
}

TEST_F(AnnotationExportTest, KeepsInnerDotsOfTheSourceName) {
    EXPECT_EQ(AnnotationExport::save(doc_, home_.file("Pictures/shot.2024.png")),
              saved("shot.2024-annotated.png"));
}

TEST_F(AnnotationExportTest, NeverReplacesAnExistingFile) {
    TestFiles::write(captures() + "/shot-annotated.png", "someone else's");
    EXPECT_EQ(AnnotationExport::save(doc_, source_), saved("shot-annotated-2.png"));
    EXPECT_EQ(readAll(captures() + "/shot-annotated.png"), "someone else's");
}

TEST_F(AnnotationExportTest, SavingIntoTheSourcesOwnFolderLeavesTheSourceAlone) {
    const QString folder = home_.file("Pictures");
    TestFiles::write(home_.file(".glimvault/config.json"),
                     QStringLiteral(R"({"captures": "%1"})").arg(folder).toUtf8());
    EXPECT_EQ(AnnotationExport::save(doc_, source_), saved("shot-annotated.png"));
    EXPECT_TRUE(QFile::exists(folder + "/shot-annotated.png"));
    EXPECT_EQ(readAll(source_), sourceBytes_);
}

TEST_F(AnnotationExportTest, RacingSavesEachGetTheirOwnFile) {
    std::vector<QString> statuses(6);
    std::vector<std::thread> savers;
    for (std::size_t i = 0; i < statuses.size(); ++i)
        savers.emplace_back(
            [&, i] { statuses[i] = AnnotationExport::saveInto(doc_, source_, captures()); });
    for (std::thread& saver : savers)
        saver.join();
    const QSet<QString> distinct(statuses.begin(), statuses.end());
    EXPECT_EQ(distinct.size(), 6);
    EXPECT_EQ(QDir(captures()).entryList(QDir::Files).size(), 6);
}

TEST_F(AnnotationExportTest, AFolderThatCannotBeMadeFailsTheSave) {
    TestFiles::write(captures(), "a file where the folder should be");
    EXPECT_EQ(AnnotationExport::save(doc_, source_),
              AppLocale::text("Failed to save", "保存に失敗しました"));
}

TEST_F(AnnotationExportTest, CopyPutsTheFullSizeRenderingOnTheClipboard) {
    doc_.crop = QRectF(4, 4, 40, 30);
    EXPECT_EQ(AnnotationExport::copyAnnotated(doc_), AppLocale::text("Copied", "コピーしました"));
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              AnnotationRenderer::render(doc_));
}
