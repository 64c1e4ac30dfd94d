#include "SingleInstance.h"

#include "SandboxHome.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent>

#include <gtest/gtest.h>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QString folder() const { return home.file(".run"); }
    SandboxHome home;
};

// Later starts hand their request over; send() blocks until acknowledged, and the
// instance answers from this event loop, even if it only starts listening later.
TEST_F(SingleInstanceTest, RequestWaitsForAnInstanceThatIsStillLaunching) {
    SingleInstance first(folder());
    ASSERT_TRUE(first.claim());
    QSignalSpy received(&first, &SingleInstance::requestReceived);
    EXPECT_FALSE(SingleInstance(folder()).claim());
    QFuture<bool> sent = QtConcurrent::run([this] {
        return SingleInstance(folder()).send({"annotate", "/tmp/a shot.png"});
    });
    QTest::qWait(200); // the launch sequence is still running
    ASSERT_TRUE(first.listen());
    ASSERT_TRUE(received.wait(5000));
    EXPECT_EQ(received.first().first().toStringList(),
              (QStringList{"annotate", "/tmp/a shot.png"}));
    EXPECT_TRUE(sent.result());
}

TEST_F(SingleInstanceTest, AClaimLeftByAnInstanceThatEndedOrCrashedIsTakenOver) {
    {
        SingleInstance ended(folder());
        ASSERT_TRUE(ended.claim());
        ASSERT_TRUE(ended.listen());
    }
    {
        SingleInstance next(folder());
        EXPECT_TRUE(next.claim());
        EXPECT_TRUE(next.listen()) << "the old socket file is no obstacle";
    }
    // The lock file of a process that no longer exists, and its socket file.
    TestFiles::write(home.file(".run/glimber.lock"),
                     "2147483000\nglimber\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    TestFiles::write(home.file(".run/glimber.socket"));
    SingleInstance afterCrash(folder());
    EXPECT_TRUE(afterCrash.claim());
    EXPECT_TRUE(afterCrash.listen());
}

TEST_F(SingleInstanceTest, SendWithoutAnInstanceGivesUp) {
    SingleInstance later(folder());
    later.setSendPatience(200);
    EXPECT_FALSE(later.send({"quit"}));
}

} // namespace
