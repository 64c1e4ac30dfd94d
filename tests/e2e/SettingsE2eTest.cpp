// The settings window of the real glimber, worked with the pointer and the
// keyboard: a trigger key saved there takes effect at the next tap.
#include "GeneralSettingsView.h"
#include "GlimberDesktopTest.h"
#include "SettingsView.h"

#include <QComboBox>
#include <QTest>

namespace {

constexpr int rightControl = 105, endKey = 115, returnKey = 36; // X key codes

class SettingsE2e : public GlimberTrayTest {};

TEST_F(SettingsE2e, RightCtrlSavedAsTheTriggerKeyCapturesAtTheNextTapAndRightShiftNoLonger) {
    const auto glimber = startGlimber({"--settings"});
    const std::vector<QRect> windows = glimberWindows(2); // the tray icon and the settings window
    ASSERT_EQ(windows.size(), 2u);
    const QRect window = windows[0].width() > windows[1].width() ? windows[0] : windows[1];
    // Where the trigger-key picker lies: read off a twin of the window in this
    // process, laid out with the same fonts and style but never mapped.
    SettingsView twin;
    twin.setAttribute(Qt::WA_DontShowOnScreen);
    twin.show();
    const QComboBox& picker = *twin.general().findChild<QComboBox*>();
    x.click(window.topLeft() + picker.mapTo(&twin, picker.rect().center()));
    QTest::qWait(300);
    x.tap(endKey); // the last entry, "Right Ctrl"
    x.tap(returnKey);
    QTest::qWait(300);
    x.tap(returnKey); // Save is the default button
    ASSERT_EQ(glimberWindows(1).size(), 1u)
        << "a successful save closes the window; the tray icon stays";

    x.tap(rightShift);
    QTest::qWait(800);
    EXPECT_FALSE(glimber->child("qxcapture")) << "right Shift is no longer the trigger key";
    x.tap(rightControl);
    ASSERT_TRUE(waitForOverlay(*glimber));
    x.tap(escape);
    EXPECT_TRUE(waitUntilToolEnded(*glimber));
}

} // namespace
