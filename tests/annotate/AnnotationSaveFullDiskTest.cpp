#include "AnnotateTestImages.h"
#include "AnnotationExport.h"
#include "AppLocale.h"
#include "FileSizeLimit.h"
#include "SandboxHome.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(AnnotationSaveOnAFullDisk, SaysSoAndLeavesNoFile) {
    SandboxHome home;
    const QString folder = home.file("captures");
    AnnotationDoc doc;
    doc.source = AnnotateTestImages::noise(200, 150);
    doc.items = {AnnotateTestImages::item(Annotation::Kind::rect, {8, 8, 30, 20}, 3, Qt::red)};
    const int failedAsSaid = FileSizeLimit::runInChild(1024, [&] {
        const QString status = AnnotationExport::saveInto(doc, home.file("shot.png"), folder);
        return status == AppLocale::text("Failed to save", "保存に失敗しました") ? 0 : 1;
    });
    EXPECT_EQ(failedAsSaid, 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}
