#pragma once

#include <QString>

#include <cstdint>
#include <ctime>

// The time encodings of the shot database.
namespace ShotTime {

// Milliseconds since 1970-01-01 00:00:00 UTC, truncated toward zero.
std::int64_t millisecondsSinceEpoch(const timespec& time);

// "YYYY-MM-DDTHH:MM:SSZ" in UTC, whole seconds (fractions dropped).
QString utcStamp(const timespec& time);

timespec now();

} // namespace ShotTime
