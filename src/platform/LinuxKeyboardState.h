#pragma once

#include "KeyEvent.h"

#include <cstdint>
#include <optional>

// Turns presses and releases of Linux key codes (the kernel's, as evdev reports
// them; X11 key codes are these plus 8) into key events of the program's
// vocabulary. It keeps the set of held modifier keys, because neither backend
// reports modifier flags with raw key events.
class LinuxKeyboardState {
public:
    std::optional<KeyEvent> press(int linuxCode);
    std::optional<KeyEvent> release(int linuxCode);

    // Forgets every held key, for a stream that starts anew.
    void reset() { held_ = 0; }

    std::uint64_t flags() const;

private:
    std::uint8_t held_ = 0; // one bit per modifier key, see the table in the .cpp
};
