#include "TriggerKeyMonitor.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Stands in for the real timer: it remembers whether it is armed and for how
// long, and fires only when the test says so, like a real one whose time is up.
class ManualHoldTimer : public HoldTimer {
public:
    void start(double seconds) override { armedFor = seconds; }
    void stop() override { armedFor.reset(); }
    std::optional<double> armedFor;
};

constexpr std::uint64_t shiftFlag = ModifierFlag::shift;
constexpr std::uint64_t commandFlag = ModifierFlag::command;

KeyEvent flags(std::uint16_t code, std::uint64_t flagBits) {
    return {KeyEvent::Type::flagsChanged, code, flagBits};
}

KeyEvent letter(std::uint64_t flagBits = 0) {
    return {KeyEvent::Type::keyDown, VirtualKey::otherKeyBase + 30, flagBits};
}

class TriggerKeyMonitorWithManualTimer : public ::testing::Test {
protected:
    void send(const KeyEvent& event) { monitor.handle(event, hotkey); }
    void pressTrigger() { send(flags(VirtualKey::rightShift, shiftFlag)); }
    void releaseTrigger() { send(flags(VirtualKey::rightShift, 0)); }
    // What a real timer does when its time is up: nothing unless armed.
    void letHoldTimeElapse() {
        if (timer.armedFor) {
            timer.armedFor.reset();
            monitor.holdTimerFired();
        }
    }

    Hotkey hotkey;
    ManualHoldTimer timer;
    int taps = 0;
    int holds = 0;
    TriggerKeyMonitor monitor{timer, {[this] { ++taps; }, [this] { ++holds; }}};
};

TEST_F(TriggerKeyMonitorWithManualTimer, TapStartsOneRegionCaptureAtTheRelease) {
    pressTrigger();
    EXPECT_EQ(timer.armedFor, 0.4);
    EXPECT_EQ(taps, 0);
    releaseTrigger();
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(holds, 0);
    EXPECT_FALSE(timer.armedFor);
    EXPECT_FALSE(monitor.triggerDown());
}

TEST_F(TriggerKeyMonitorWithManualTimer, HoldStartsOneWindowCaptureAndTheReleaseNothing) {
    pressTrigger();
    letHoldTimeElapse();
    EXPECT_EQ(holds, 1);
    EXPECT_TRUE(monitor.holdFired());
    releaseTrigger();
    EXPECT_EQ(holds, 1);
    EXPECT_EQ(taps, 0);
    EXPECT_FALSE(monitor.triggerDown());
    EXPECT_FALSE(monitor.holdFired());
}

TEST_F(TriggerKeyMonitorWithManualTimer, LetterTypedDuringThePressSpoilsTapAndHold) {
    pressTrigger();
    send(letter(shiftFlag));
    EXPECT_TRUE(monitor.usedAsModifier());
    EXPECT_FALSE(timer.armedFor) << "the hold timer is cancelled by the letter";
    letHoldTimeElapse();
    releaseTrigger();
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(holds, 0);
}

TEST_F(TriggerKeyMonitorWithManualTimer, LetterAfterTheHoldFiredChangesNothingMore) {
    pressTrigger();
    letHoldTimeElapse();
    send(letter(shiftFlag));
    EXPECT_TRUE(monitor.usedAsModifier());
    releaseTrigger();
    EXPECT_EQ(holds, 1);
    EXPECT_EQ(taps, 0);
}

TEST_F(TriggerKeyMonitorWithManualTimer, AnotherModifierDuringThePressSpoilsIt) {
    pressTrigger();
    send(flags(VirtualKey::leftCommand, shiftFlag | commandFlag));
    send(flags(VirtualKey::leftCommand, shiftFlag));
    letHoldTimeElapse();
    releaseTrigger();
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(holds, 0);
}

TEST_F(TriggerKeyMonitorWithManualTimer, LeftTwinOfTheTriggerKeyDoesNothing) {
    hotkey.modifier = HotkeyModifier::rightCommand;
    send(flags(VirtualKey::leftCommand, commandFlag));
    letHoldTimeElapse();
    send(flags(VirtualKey::leftCommand, 0));
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(holds, 0);
    EXPECT_FALSE(monitor.triggerDown());
}

TEST_F(TriggerKeyMonitorWithManualTimer, EveryTriggerKeyIsRecognisedByItsOwnCodeAndFlag) {
    const std::pair<HotkeyModifier, std::pair<std::uint16_t, std::uint64_t>> keys[] = {
        {HotkeyModifier::rightCommand, {VirtualKey::rightCommand, ModifierFlag::command}},
        {HotkeyModifier::rightOption, {VirtualKey::rightOption, ModifierFlag::option}},
        {HotkeyModifier::rightControl, {VirtualKey::rightControl, ModifierFlag::control}},
    };
    for (const auto& [modifier, codeAndFlag] : keys) {
        hotkey.modifier = modifier;
        const int before = taps;
        send(flags(codeAndFlag.first, codeAndFlag.second));
        send(flags(codeAndFlag.first, 0));
        EXPECT_EQ(taps, before + 1) << rawValue(modifier).toStdString();
    }
    // Right Shift is no trigger while another key is configured: it spoils nothing
    // either, since no press is in progress.
    pressTrigger();
    releaseTrigger();
    EXPECT_EQ(taps, 3);
}

TEST_F(TriggerKeyMonitorWithManualTimer, TwoQuickTapsStartTwoRegionCaptures) {
    pressTrigger();
    releaseTrigger();
    pressTrigger();
    releaseTrigger();
    EXPECT_EQ(taps, 2);
}

TEST_F(TriggerKeyMonitorWithManualTimer, ThresholdIsReadWhenTheTimerIsArmed) {
    hotkey.holdThreshold = 0.25;
    pressTrigger();
    EXPECT_EQ(timer.armedFor, 0.25);
    hotkey.holdThreshold = 0.8; // a settings save during the press
    EXPECT_EQ(timer.armedFor, 0.25);
    releaseTrigger();
    pressTrigger();
    EXPECT_EQ(timer.armedFor, 0.8);
}

TEST_F(TriggerKeyMonitorWithManualTimer, NewTriggerKeyAppliesFromTheNextEvent) {
    hotkey.modifier = HotkeyModifier::rightOption;
    pressTrigger();
    EXPECT_FALSE(monitor.triggerDown());
    send(flags(VirtualKey::rightOption, ModifierFlag::option));
    send(flags(VirtualKey::rightOption, 0));
    EXPECT_EQ(taps, 1);
}

TEST_F(TriggerKeyMonitorWithManualTimer, EventsWhileIdleChangeNothing) {
    send(letter());
    send(flags(VirtualKey::leftShift, shiftFlag));
    send(flags(VirtualKey::leftShift, 0));
    releaseTrigger();
    EXPECT_FALSE(monitor.triggerDown());
    EXPECT_FALSE(monitor.usedAsModifier());
    EXPECT_FALSE(timer.armedFor);
    EXPECT_EQ(taps + holds, 0);
}

TEST_F(TriggerKeyMonitorWithManualTimer, PressInAnyStateStartsAFreshPress) {
    pressTrigger();
    send(letter(shiftFlag)); // spoiled
    pressTrigger();          // a press without a release in between
    EXPECT_TRUE(monitor.triggerDown());
    EXPECT_FALSE(monitor.usedAsModifier());
    EXPECT_EQ(timer.armedFor, 0.4);
    releaseTrigger();
    EXPECT_EQ(taps, 1);

    pressTrigger();
    letHoldTimeElapse(); // held
    pressTrigger();
    EXPECT_FALSE(monitor.holdFired());
    letHoldTimeElapse();
    EXPECT_EQ(holds, 2);
}

TEST_F(TriggerKeyMonitorWithManualTimer, SpoiledPressKeepsItsMarkUntilTheNextPress) {
    pressTrigger();
    send(letter(shiftFlag));
    releaseTrigger();
    EXPECT_TRUE(monitor.usedAsModifier());
    pressTrigger();
    EXPECT_FALSE(monitor.usedAsModifier());
}

TEST_F(TriggerKeyMonitorWithManualTimer, InterruptedStreamLeavesThePressAsItWas) {
    pressTrigger();
    send({KeyEvent::Type::interrupted, 0, 0});
    EXPECT_TRUE(monitor.triggerDown());
    EXPECT_EQ(timer.armedFor, 0.4);
    releaseTrigger();
    EXPECT_EQ(taps, 1);
}

} // namespace
