#pragma once

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

// Modifier bits of a key event's flags; the same bit for the left and the right key.
namespace ModifierFlag {
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
} // namespace ModifierFlag

QString rawValue(HotkeyModifier modifier);
std::optional<HotkeyModifier> hotkeyModifierFromRawValue(const QString& raw);
std::uint16_t keyCode(HotkeyModifier modifier);
std::uint64_t flagMask(HotkeyModifier modifier);
