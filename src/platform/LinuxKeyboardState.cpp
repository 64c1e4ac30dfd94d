#include "LinuxKeyboardState.h"

#include "VirtualKey.h"

#include <array>
#include <linux/input-event-codes.h>

namespace {

struct ModifierKey {
    int linuxCode;
    std::uint16_t keyCode;
    std::uint64_t flag;
};

// Super is the Command key of this vocabulary, Alt (AltGr on the right) its Option.
constexpr std::array<ModifierKey, 8> modifierKeys{{
    {KEY_LEFTSHIFT, VirtualKey::leftShift, ModifierFlag::shift},
    {KEY_RIGHTSHIFT, VirtualKey::rightShift, ModifierFlag::shift},
    {KEY_LEFTCTRL, VirtualKey::leftControl, ModifierFlag::control},
    {KEY_RIGHTCTRL, VirtualKey::rightControl, ModifierFlag::control},
    {KEY_LEFTALT, VirtualKey::leftOption, ModifierFlag::option},
    {KEY_RIGHTALT, VirtualKey::rightOption, ModifierFlag::option},
    {KEY_LEFTMETA, VirtualKey::leftCommand, ModifierFlag::command},
    {KEY_RIGHTMETA, VirtualKey::rightCommand, ModifierFlag::command},
}};

std::optional<std::size_t> modifierIndex(int linuxCode) {
    for (std::size_t i = 0; i < modifierKeys.size(); ++i) {
        if (modifierKeys[i].linuxCode == linuxCode)
            return i;
    }
    return std::nullopt;
}

} // namespace

std::uint64_t LinuxKeyboardState::flags() const {
    std::uint64_t result = 0;
    for (std::size_t i = 0; i < modifierKeys.size(); ++i) {
        if (held_ & (1u << i))
            result |= modifierKeys[i].flag;
    }
    return result;
}

std::optional<KeyEvent> LinuxKeyboardState::press(int linuxCode) {
    const std::optional<std::size_t> index = modifierIndex(linuxCode);
    if (!index)
        return KeyEvent{KeyEvent::Type::keyDown,
                        std::uint16_t(VirtualKey::otherKeyBase + linuxCode), flags()};
    const auto bit = std::uint8_t(1u << *index);
    // A held modifier that reports another press is auto-repeat, not a new press.
    if (held_ & bit)
        return std::nullopt;
    held_ |= bit;
    return KeyEvent{KeyEvent::Type::flagsChanged, modifierKeys[*index].keyCode, flags()};
}

std::optional<KeyEvent> LinuxKeyboardState::release(int linuxCode) {
    const std::optional<std::size_t> index = modifierIndex(linuxCode);
    if (!index)
        return std::nullopt;
    held_ &= std::uint8_t(~(1u << *index));
    return KeyEvent{KeyEvent::Type::flagsChanged, modifierKeys[*index].keyCode, flags()};
}
