#pragma once

#include <QMetaType>

#include <cstdint>

// One event of the system-wide key stream, in the codes and flag bits of
// VirtualKey.h. `interrupted` says the stream lost events (its device went
// away); the source must then be opened again.
struct KeyEvent {
    enum class Type { keyDown, flagsChanged, interrupted };

    Type type = Type::keyDown;
    std::uint16_t keyCode = 0;
    std::uint64_t flags = 0; // ModifierFlag bits of every modifier held after the event

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

Q_DECLARE_METATYPE(KeyEvent)
