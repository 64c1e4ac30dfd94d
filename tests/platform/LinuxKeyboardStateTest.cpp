#include "LinuxKeyboardState.h"

#include "EvdevKeyEventSource.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "VirtualKey.h"

#include <QDir>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace {

KeyEvent flagsChanged(std::uint16_t code, std::uint64_t flags) {
    return {KeyEvent::Type::flagsChanged, code, flags};
}

TEST(LinuxKeyboardState, ModifierKeysBecomeFlagChangesOfTheirOwnCode) {
    LinuxKeyboardState keyboard;
    const std::tuple<int, std::uint16_t, std::uint64_t> keys[] = {
        {KEY_RIGHTSHIFT, VirtualKey::rightShift, ModifierFlag::shift},
        {KEY_LEFTSHIFT, VirtualKey::leftShift, ModifierFlag::shift},
        {KEY_RIGHTCTRL, VirtualKey::rightControl, ModifierFlag::control},
        {KEY_LEFTCTRL, VirtualKey::leftControl, ModifierFlag::control},
        {KEY_RIGHTALT, VirtualKey::rightOption, ModifierFlag::option},
        {KEY_LEFTALT, VirtualKey::leftOption, ModifierFlag::option},
        {KEY_RIGHTMETA, VirtualKey::rightCommand, ModifierFlag::command},
        {KEY_LEFTMETA, VirtualKey::leftCommand, ModifierFlag::command},
    };
    for (const auto& [linuxCode, code, flag] : keys) {
        EXPECT_EQ(keyboard.press(linuxCode), flagsChanged(code, flag)) << linuxCode;
        EXPECT_EQ(keyboard.release(linuxCode), flagsChanged(code, 0)) << linuxCode;
    }
}

TEST(LinuxKeyboardState, FlagsCoverEveryHeldModifierOfBothHands) {
    LinuxKeyboardState keyboard;
    keyboard.press(KEY_LEFTSHIFT);
    EXPECT_EQ(keyboard.press(KEY_RIGHTSHIFT),
              flagsChanged(VirtualKey::rightShift, ModifierFlag::shift));
    EXPECT_EQ(keyboard.press(KEY_LEFTCTRL),
              flagsChanged(VirtualKey::leftControl, ModifierFlag::shift | ModifierFlag::control));
    // The left Shift still holds the Shift bit after the right one is let go.
    EXPECT_EQ(keyboard.release(KEY_RIGHTSHIFT),
              flagsChanged(VirtualKey::rightShift, ModifierFlag::shift | ModifierFlag::control));
    EXPECT_FALSE(keyboard.press(KEY_LEFTCTRL)) << "auto-repeat of a held modifier is no new press";
    keyboard.reset();
    EXPECT_EQ(keyboard.flags(), 0u);
    // The release of a key pressed before the stream started is still reported.
    EXPECT_EQ(keyboard.release(KEY_RIGHTSHIFT), flagsChanged(VirtualKey::rightShift, 0));
}

TEST(LinuxKeyboardState, OtherKeysGoDownWithTheHeldFlagsAndNeverLookLikeModifiers) {
    LinuxKeyboardState keyboard;
    keyboard.press(KEY_RIGHTSHIFT);
    const std::optional<KeyEvent> a = keyboard.press(KEY_A);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->type, KeyEvent::Type::keyDown);
    EXPECT_EQ(a->flags, ModifierFlag::shift);
    EXPECT_GE(a->keyCode, VirtualKey::otherKeyBase);
    EXPECT_FALSE(keyboard.release(KEY_A)) << "releases of ordinary keys are no events";
    // Held ordinary keys repeat as further key downs, like on any keyboard.
    EXPECT_TRUE(keyboard.press(KEY_A));
}

TEST(EvdevKeyEventSource, CannotStartWithoutAKeyboardItMayRead) {
    SandboxHome home;
    QDir().mkpath(home.file("input"));
    EXPECT_FALSE(EvdevKeyEventSource(home.file("input")).start()) << "no devices at all";
    // Nodes that are no input devices, or that this user may not read.
    TestFiles::write(home.file("input/event0"), "not a device");
    TestFiles::write(home.file("input/event1"));
    QFile::setPermissions(home.file("input/event1"), QFile::WriteOwner);
    EXPECT_FALSE(EvdevKeyEventSource(home.file("input")).start());
    EXPECT_FALSE(EvdevKeyEventSource(home.file("missing")).start());
}

} // namespace
