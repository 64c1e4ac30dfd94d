#include "AnnotationExport.h"

#include "AnnotationRenderer.h"
#include "AppLocale.h"
#include "SandboxHome.h"
#include "TestAnnotations.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSet>

#include <gtest/gtest.h>

#include <thread>

namespace {

QString saved(const QString& name) {
    return AppLocale::text("Saved: ", "保存: ") + name;
}

class AnnotationExportTest : public ::testing::Test {
protected:
    AnnotationExportTest() {
        TestImages::noise(64, 48).save(source);
        doc.source = QImage(source);
        doc.items = {TestAnnotations::item(Annotation::Kind::rect, {8, 8, 30, 20}, 3, Qt::red)};
    }

    SandboxHome home;
    const QString source = home.file("Pictures/shot.png");
    const QString captures = home.file(".glimvault/captures");
    AnnotationDoc doc;
};

TEST_F(AnnotationExportTest, SavesNewNumberedFilesAndNeverReplacesOneNorTheSource) {
    const QByteArray sourceBytes = TestFiles::read(source);
    TestFiles::write(captures + "/shot-annotated-2.png", "someone else's");
    EXPECT_EQ(AnnotationExport::save(doc, source), saved("shot-annotated.png"));
    EXPECT_EQ(AnnotationExport::save(doc, source), saved("shot-annotated-3.png"));
    EXPECT_EQ(AnnotationExport::save(doc, home.file("Pictures/shot.2024.png")),
              saved("shot.2024-annotated.png"));
    EXPECT_EQ(QImage(captures + "/shot-annotated.png")
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied),
              AnnotationRenderer::render(doc));
    EXPECT_EQ(TestFiles::read(captures + "/shot-annotated-2.png"), "someone else's");
    // Saving into the source's own folder leaves the source alone too.
    EXPECT_EQ(AnnotationExport::saveInto(doc, source, home.file("Pictures")),
              saved("shot-annotated.png"));
    EXPECT_TRUE(QFile::exists(home.file("Pictures/shot-annotated.png")));
    EXPECT_EQ(TestFiles::read(source), sourceBytes);
}

TEST_F(AnnotationExportTest, RacingSavesEachGetTheirOwnFile) {
    std::vector<QString> statuses(6);
    std::vector<std::thread> savers;
    for (std::size_t i = 0; i < statuses.size(); ++i)
        savers.emplace_back(
            [&, i] { statuses[i] = AnnotationExport::saveInto(doc, source, captures); });
    for (std::thread& saver : savers)
        saver.join();
    EXPECT_EQ(QSet<QString>(statuses.begin(), statuses.end()).size(), 6);
    EXPECT_EQ(QDir(captures).entryList(QDir::Files).size(), 6);
}

TEST_F(AnnotationExportTest, AFolderThatCannotBeMadeFailsTheSave) {
    TestFiles::write(captures, "a file where the folder should be");
    EXPECT_EQ(AnnotationExport::save(doc, source),
              AppLocale::text("Failed to save", "保存に失敗しました"));
}

TEST_F(AnnotationExportTest, CopyPutsTheFullSizeRenderingOnTheClipboard) {
    doc.crop = QRectF(4, 4, 40, 30);
    EXPECT_EQ(AnnotationExport::copyAnnotated(doc), AppLocale::text("Copied", "コピーしました"));
    EXPECT_EQ(
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32_Premultiplied),
        AnnotationRenderer::render(doc));
}

} // namespace
