#pragma once

#include "VirtualKey.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The right-hand modifier keys that can serve as the trigger key. Key codes and
// flag bits are the program's own key vocabulary: every key backend translates
// its native codes into these.
enum class HotkeyModifier { rightShift, rightCommand, rightOption, rightControl };

inline constexpr std::array<HotkeyModifier, 4> allHotkeyModifiers{
    HotkeyModifier::rightShift, HotkeyModifier::rightCommand, HotkeyModifier::rightOption,
    HotkeyModifier::rightControl};

QString rawValue(HotkeyModifier modifier);
std::optional<HotkeyModifier> hotkeyModifierFromRawValue(const QString& raw);
std::uint16_t keyCode(HotkeyModifier modifier);
std::uint64_t flagMask(HotkeyModifier modifier);
