#include "TriggerKeyMonitor.h"

TriggerKeyMonitor::TriggerKeyMonitor(HoldTimer& holdTimer, TriggerGestures gestures)
    : holdTimer_(holdTimer)
    , gestures_(std::move(gestures)) {}

void TriggerKeyMonitor::handle(const KeyEvent& event, const Hotkey& hotkey) {
    switch (event.type) {
    case KeyEvent::Type::flagsChanged:
        if (event.keyCode != keyCode(hotkey.modifier))
            return spoil();
        // The flag bit is shared with the left twin of the key, so a release of
        // the trigger while that twin is held still reads as a press.
        if (event.flags & flagMask(hotkey.modifier))
            return press(hotkey.holdThreshold);
        return release();
    case KeyEvent::Type::keyDown:
        return spoil();
    case KeyEvent::Type::interrupted:
        return;
    }
}

void TriggerKeyMonitor::press(double holdThreshold) {
    triggerDown_ = true;
    usedAsModifier_ = false;
    holdFired_ = false;
    holdTimer_.start(holdThreshold);
}

void TriggerKeyMonitor::release() {
    holdTimer_.stop();
    const bool tapped = triggerDown_ && !usedAsModifier_ && !holdFired_;
    triggerDown_ = false;
    holdFired_ = false;
    if (tapped)
        gestures_.tap();
}

void TriggerKeyMonitor::spoil() {
    if (!triggerDown_)
        return;
    usedAsModifier_ = true;
    holdTimer_.stop();
}

void TriggerKeyMonitor::holdTimerFired() {
    if (!triggerDown_ || usedAsModifier_)
        return;
    holdFired_ = true;
    gestures_.hold();
}
