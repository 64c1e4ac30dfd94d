#include "TriggerKeyMonitor.h"

#include <gtest/gtest.h>

#include <map>
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

// Key events as one letter each, for a trigger key with `code` and `flag`:
// P/R press/release it, L types a letter while it is down, M/m press/release
// the left Command key on top of it, S/s press/release the right Shift key,
// I interrupts the key stream and H lets the hold time elapse.
struct Gesture {
    HotkeyModifier trigger;
    const char* keys;
    int taps;
    int holds;
};

void PrintTo(const Gesture& gesture, std::ostream* out) {
    *out << rawValue(gesture.trigger).toStdString() << ' ' << gesture.keys;
}

const std::map<HotkeyModifier, std::pair<std::uint16_t, std::uint64_t>> triggerKeys{
    {HotkeyModifier::rightShift, {VirtualKey::rightShift, ModifierFlag::shift}},
    {HotkeyModifier::rightCommand, {VirtualKey::rightCommand, ModifierFlag::command}},
    {HotkeyModifier::rightOption, {VirtualKey::rightOption, ModifierFlag::option}},
    {HotkeyModifier::rightControl, {VirtualKey::rightControl, ModifierFlag::control}},
};

class TriggerKeyMonitorWithManualTimer : public ::testing::TestWithParam<Gesture> {
protected:
    void type(const Hotkey& hotkey, const char* keys) {
        const auto [code, flag] = triggerKeys.at(hotkey.modifier);
        using Type = KeyEvent::Type;
        const std::map<char, KeyEvent> events{
            {'P', {Type::flagsChanged, code, flag}},
            {'R', {Type::flagsChanged, code, 0}},
            {'L', {Type::keyDown, VirtualKey::otherKeyBase + 30, flag}},
            {'M', {Type::flagsChanged, VirtualKey::leftCommand, flag | ModifierFlag::command}},
            {'m', {Type::flagsChanged, VirtualKey::leftCommand, flag}},
            {'S', {Type::flagsChanged, VirtualKey::rightShift, ModifierFlag::shift}},
            {'s', {Type::flagsChanged, VirtualKey::rightShift, 0}},
            {'I', {Type::interrupted, 0, 0}},
        };
        for (const char* key = keys; *key; ++key) {
            if (*key != 'H') {
                monitor.handle(events.at(*key), hotkey);
            } else if (timer.armedFor) {
                // What a real timer does when its time is up: nothing unless armed.
                timer.armedFor.reset();
                monitor.holdTimerFired();
            }
        }
    }

    ManualHoldTimer timer;
    int taps = 0;
    int holds = 0;
    TriggerKeyMonitor monitor{timer, {[this] { ++taps; }, [this] { ++holds; }}};
};

TEST_P(TriggerKeyMonitorWithManualTimer, StartsOneCaptureForATapOrAHold) {
    type(Hotkey{GetParam().trigger, 0.4}, GetParam().keys);
    EXPECT_EQ(taps, GetParam().taps);
    EXPECT_EQ(holds, GetParam().holds);
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, TriggerKeyMonitorWithManualTimer,
    ::testing::Values(
        // A tap, a hold and a press spoilt by a letter are the e2e journeys.
        Gesture{HotkeyModifier::rightShift, "PRPR", 2, 0},  // two quick taps
        Gesture{HotkeyModifier::rightShift, "PHLR", 0, 1},  // …but not a hold already made
        Gesture{HotkeyModifier::rightShift, "PMmHR", 0, 0}, // so does another modifier
        Gesture{HotkeyModifier::rightShift, "LMmR", 0, 0},  // keys while idle change nothing
        Gesture{HotkeyModifier::rightShift, "PLPR", 1, 0},  // a press in any state starts afresh
        Gesture{HotkeyModifier::rightShift, "PHPH", 0, 2},
        Gesture{HotkeyModifier::rightShift, "PIR", 1, 0},  // an interrupted stream keeps the press
        Gesture{HotkeyModifier::rightCommand, "PR", 1, 0}, // every trigger by its code and flag
        Gesture{HotkeyModifier::rightOption, "PR", 1, 0},
        Gesture{HotkeyModifier::rightControl, "PR", 1, 0},
        Gesture{HotkeyModifier::rightCommand, "MHm", 0, 0},   // its left twin does nothing
        Gesture{HotkeyModifier::rightOption, "SsPR", 1, 0})); // nor does another right key

TEST_F(TriggerKeyMonitorWithManualTimer, ThresholdIsReadWhenTheTimerIsArmed) {
    Hotkey hotkey{HotkeyModifier::rightShift, 0.25};
    type(hotkey, "P");
    EXPECT_EQ(timer.armedFor, 0.25);
    hotkey.holdThreshold = 0.8; // a settings save during the press
    type(hotkey, "L");
    EXPECT_FALSE(timer.armedFor) << "the letter cancels the hold timer";
    type(hotkey, "RP");
    EXPECT_EQ(timer.armedFor, 0.8);
    type(hotkey, "R");
    EXPECT_FALSE(timer.armedFor);
    EXPECT_FALSE(monitor.triggerDown());
}

} // namespace
