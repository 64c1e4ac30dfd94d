#include "ConfigStore.h"
#include "FakeOcrHelper.h"
#include "OcrIndexer.h"
#include "SandboxHome.h"
#include "TestFiles.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// No safety timer within the test's time: only the watcher can start a pass.
TEST(IndexerFollowsSaveFolder, CaptureInANewlyChosenSaveFolderIsIndexedWithFakeHelper) {
    SandboxHome home;
    TestFiles::writeScript(home.file("bin/qxocr"), FakeOcrHelper::echo);
    OcrIndexer indexer({ShotIndexOptions{home.file("db.sqlite"), home.file("bin/qxocr"), 120'000},
                        IndexerTiming{200, 50, 3'600'000}});
    QSignalSpy passes(&indexer, &OcrIndexer::passFinished);
    indexer.start();
    ASSERT_TRUE(passes.wait(10'000));

    ConfigStore::setShared("captures", QJsonValue(home.file("Elsewhere")));
    indexer.settingsChanged();
    ASSERT_TRUE(passes.wait(10'000)) << "saving the settings runs a pass";
    TestFiles::write(home.file("Elsewhere/Glimber 2026-01-02-03-04-05.png"));
    ASSERT_TRUE(passes.wait(10'000)) << "the new save folder is watched";
    EXPECT_EQ(passes.takeLast().at(0).value<PassReport>().recognised, 1);
}

} // namespace
