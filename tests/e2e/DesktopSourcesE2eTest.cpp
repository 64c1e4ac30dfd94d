// The desktop's own screenshot services as qxcapture asks them, in this
// process, against fakes of their D-Bus interfaces: what the journeys under
// sway cannot show, a portal that never answers and KWin's refusals.
#include "DesktopFreezer.h"
#include "FakeKWinScreenShot.h"
#include "FakeScreenshotPortal.h"
#include "KWinScreenShot.h"
#include "TestImages.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

TEST(DesktopFreezerWithFakePortal, APortalThatNeverAnswersCostsNoMoreThanTheDeadline) {
    FakeScreenshotPortal silent(std::nullopt);
    ASSERT_TRUE(silent.registered());
    QElapsedTimer waited;
    waited.start();
    const ScreenGrab grab = DesktopFreezer(DesktopSession::fromEnvironment())
                                .grab(ScreenSource::portal, QDeadlineTimer(300));
    EXPECT_EQ(grab.outcome, ScreenGrab::Outcome::failed);
    EXPECT_TRUE(grab.problem.contains("no answer in time")) << grab.problem.toStdString();
    EXPECT_LT(waited.elapsed(), 3000);
    EXPECT_EQ(silent.firstOptions().value("interactive"), false);
}

TEST(KWinScreenShotWithFakeKWin, ARefusalIsARefusalWithWhatKWinWantsAndAFailureAFailure) {
    const std::pair<const char*, ScreenGrab::Outcome> answers[] = {
        {"org.kde.KWin.ScreenShot2.Error.NoAuthorized", ScreenGrab::Outcome::refused},
        {"org.kde.KWin.ScreenShot2.Error.InvalidScreen", ScreenGrab::Outcome::failed},
    };
    for (const auto& [error, outcome] : answers) {
        SCOPED_TRACE(error);
        FakeKWinScreenShot kwin([error = QString(error)](const QString&, const QVariant&) {
            return FakeKWinScreenShot::Answer{{}, error};
        });
        ASSERT_TRUE(kwin.registered());
        EXPECT_TRUE(KWinScreenShot::isAvailable());
        const ScreenGrab grab =
            KWinScreenShot::captureScreens({{"eDP-1", {0, 0, 60, 50}}}, QDeadlineTimer(5000));
        EXPECT_EQ(grab.outcome, outcome);
        EXPECT_TRUE(grab.problem.contains(outcome == ScreenGrab::Outcome::refused
                                              ? "X-KDE-DBUS-Restricted-Interfaces"
                                              : "KWin's screenshot failed"))
            << grab.problem.toStdString();
        EXPECT_EQ(kwin.calls().value(0).value(0), "eDP-1");
    }
}

} // namespace
