#pragma once

#include <cstdint>

// The program's own key vocabulary. Every key backend translates its native
// codes into these, so everything above the platform layer sees one set of
// codes whatever the desktop.
namespace VirtualKey {

inline constexpr std::uint16_t rightCommand = 54;
inline constexpr std::uint16_t leftCommand = 55;
inline constexpr std::uint16_t leftShift = 56;
inline constexpr std::uint16_t leftOption = 58;
inline constexpr std::uint16_t leftControl = 59;
inline constexpr std::uint16_t rightShift = 60;
inline constexpr std::uint16_t rightOption = 61;
inline constexpr std::uint16_t rightControl = 62;

// A key that is no modifier carries its Linux key code plus this offset, so it
// can never be mistaken for one of the modifiers above.
inline constexpr std::uint16_t otherKeyBase = 0x100;

} // namespace VirtualKey

// Modifier bits of a key event's flags; the same bit for the left and the right key.
namespace ModifierFlag {
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
} // namespace ModifierFlag
