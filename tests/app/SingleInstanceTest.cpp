#include "SingleInstance.h"

#include "SandboxHome.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent>

#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, FirstClaimWinsAndLaterStartsHandTheirRequestToIt) {
    SandboxHome home;
    SingleInstance first(home.file(".run"));
    ASSERT_TRUE(first.claim());
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::requestReceived);

    SingleInstance second(home.file(".run"));
    EXPECT_FALSE(second.claim());
    // send() blocks until acknowledged; the instance answers from this event loop.
    QFuture<bool> sent = QtConcurrent::run([&second] {
        return second.send({"annotate", "/tmp/a shot.png"});
    });
    ASSERT_TRUE(received.wait(5000));
    EXPECT_EQ(received.first().first().toStringList(),
              (QStringList{"annotate", "/tmp/a shot.png"}));
    EXPECT_TRUE(sent.result());
}

TEST(SingleInstance, RequestWaitsForAnInstanceThatIsStillLaunching) {
    SandboxHome home;
    SingleInstance first(home.file(".run"));
    ASSERT_TRUE(first.claim());
    QSignalSpy received(&first, &SingleInstance::requestReceived);
    QFuture<bool> sent =
        QtConcurrent::run([&home] { return SingleInstance(home.file(".run")).send({}); });
    QTest::qWait(200); // the launch sequence is still running
    ASSERT_TRUE(first.listen());
    ASSERT_TRUE(received.wait(5000));
    EXPECT_TRUE(received.first().first().toStringList().isEmpty());
    EXPECT_TRUE(sent.result());
}

TEST(SingleInstance, InstanceThatEndedLeavesTheClaimToTheNextStart) {
    SandboxHome home;
    {
        SingleInstance first(home.file(".run"));
        ASSERT_TRUE(first.claim());
        ASSERT_TRUE(first.listen());
    }
    SingleInstance next(home.file(".run"));
    EXPECT_TRUE(next.claim());
    EXPECT_TRUE(next.listen()) << "the old socket file is no obstacle";
}

TEST(SingleInstance, ClaimLeftByACrashedInstanceIsTakenOver) {
    SandboxHome home;
    // The lock file of a process that no longer exists, and its socket file.
    TestFiles::write(home.file(".run/glimber.lock"),
                     "2147483000\nglimber\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    TestFiles::write(home.file(".run/glimber.socket"));
    SingleInstance next(home.file(".run"));
    EXPECT_TRUE(next.claim());
    EXPECT_TRUE(next.listen());
}

TEST(SingleInstance, SendWithoutAnInstanceGivesUp) {
    SandboxHome home;
    SingleInstance later(home.file(".run"));
    later.setSendPatience(200);
    EXPECT_FALSE(later.send({"quit"}));
}

} // namespace
