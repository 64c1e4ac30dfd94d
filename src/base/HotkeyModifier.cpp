#include "HotkeyModifier.h"

namespace {

struct ModifierInfo {
    HotkeyModifier modifier;
    const char* raw;
    std::uint16_t keyCode;
    std::uint64_t flag;
};

constexpr std::array<ModifierInfo, 4> table{{
    {HotkeyModifier::rightShift, "rightShift", VirtualKey::rightShift, ModifierFlag::shift},
    {HotkeyModifier::rightCommand, "rightCommand", VirtualKey::rightCommand, ModifierFlag::command},
    {HotkeyModifier::rightOption, "rightOption", VirtualKey::rightOption, ModifierFlag::option},
    {HotkeyModifier::rightControl, "rightControl", VirtualKey::rightControl, ModifierFlag::control},
}};

const ModifierInfo& info(HotkeyModifier modifier) {
    return table[static_cast<std::size_t>(modifier)];
}

} // namespace

QString rawValue(HotkeyModifier modifier) {
    return QString::fromLatin1(info(modifier).raw);
}

std::optional<HotkeyModifier> hotkeyModifierFromRawValue(const QString& raw) {
    for (const ModifierInfo& entry : table) {
        if (raw == QLatin1String(entry.raw))
            return entry.modifier;
    }
    return std::nullopt;
}

std::uint16_t keyCode(HotkeyModifier modifier) {
    return info(modifier).keyCode;
}

std::uint64_t flagMask(HotkeyModifier modifier) {
    return info(modifier).flag;
}
