#include "WarmOcrHelper.h"

#include "FakeOcrHelper.h"
#include "ShotFolders.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class WarmOcrHelperTest : public ShotFolders {
protected:
    // Reads one picture and waits for the answer; fails the test when none comes.
    OcrAnswer read(WarmOcrHelper& warm, const QString& path) {
        std::optional<OcrAnswer> answer;
        warm.read(path, [&answer](const OcrAnswer& a) { answer = a; });
        if (!QTest::qWaitFor([&] { return answer.has_value(); }, 30'000)) {
            ADD_FAILURE() << "no answer for " << path.toStdString();
            return {};
        }
        return *answer;
    }
};

TEST_F(WarmOcrHelperTest, OneHelperAnswersPictureAfterPictureThenQuitsWhenIdleWithFakeHelper) {
    installHelper(FakeOcrHelper::echo);
    WarmOcrHelper warm(helper(), {400, 10'000});
    warm.warmUp();
    const qint64 started = warm.processId();
    EXPECT_EQ(read(warm, "/s/a.png").text, "Text of /s/a.png");
    EXPECT_EQ(read(warm, "/s/bad-c.png").error, "unreadable");
    EXPECT_EQ(warm.processId(), started) << "the same helper read every picture";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !warm.isRunning(); }, 5'000));
    EXPECT_EQ(read(warm, "/s/d.png").text, "Text of /s/d.png") << "a fresh helper after idling";
}

TEST_F(WarmOcrHelperTest,
       ACrashOrAHangFailsOnlyItsPictureAndTheNextGetsAFreshHelperWithFakeHelper) {
    installHelper(FakeOcrHelper::echo);
    WarmOcrHelper warm(helper(), {60'000, 700});
    const OcrAnswer crashed = read(warm, "/s/crash-a.png");
    EXPECT_FALSE(crashed.text);
    EXPECT_EQ(crashed.error, "the text recogniser crashed");
    const OcrAnswer b = read(warm, "/s/b.png");
    EXPECT_EQ(b.text, "Text of /s/b.png") << b.error.toStdString();
    const OcrAnswer hung = read(warm, "/s/hang-c.png");
    EXPECT_FALSE(hung.text);
    EXPECT_EQ(hung.error, "the text recogniser gave no answer within 0 s");
    EXPECT_EQ(read(warm, "/s/d.png").text, "Text of /s/d.png");
}

TEST_F(WarmOcrHelperTest, AMissingHelperOrAPathWithALineBreakFailsAtOnce) {
    WarmOcrHelper missing(home.file("bin/none"));
    const OcrAnswer none = read(missing, "/s/a.png");
    EXPECT_FALSE(none.text);
    EXPECT_TRUE(none.error.contains("is missing")) << none.error.toStdString();
    installHelper(FakeOcrHelper::echo);
    WarmOcrHelper warm(helper());
    EXPECT_EQ(read(warm, "/s/two\nlines.png").error, "the file name holds a line break");
}

} // namespace
