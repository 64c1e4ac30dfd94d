#pragma once

#include "HoldTimer.h"
#include "Hotkey.h"
#include "KeyEvent.h"

#include <functional>

// What a press of the trigger key means: a short tap, a hold past the hold
// threshold, or nothing when another key took part while it was down.
struct TriggerGestures {
    std::function<void()> tap;
    std::function<void()> hold;
};

// Recognises taps and holds of the trigger key in the system-wide key stream.
// Free of any platform: key events come in, gestures go out, and the hold timer
// is whatever the owner supplies.
class TriggerKeyMonitor {
public:
    TriggerKeyMonitor(HoldTimer& holdTimer, TriggerGestures gestures);

    // One key event; `hotkey` is the trigger key in force for it.
    void handle(const KeyEvent& event, const Hotkey& hotkey);

    // The hold timer armed by the last press has fired.
    void holdTimerFired();

    bool triggerDown() const { return triggerDown_; }
    bool usedAsModifier() const { return usedAsModifier_; }
    bool holdFired() const { return holdFired_; }

private:
    void press(double holdThreshold);
    void release();
    void spoil();

    HoldTimer& holdTimer_;
    TriggerGestures gestures_;
    bool triggerDown_ = false;
    bool usedAsModifier_ = false;
    bool holdFired_ = false;
};
