#pragma once

#include "HotkeyModifier.h"

// The trigger key and the hold time that separates a tap from a hold.
struct Hotkey {
    HotkeyModifier modifier = HotkeyModifier::rightShift;
    double holdThreshold = 0.4; // seconds

    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};
