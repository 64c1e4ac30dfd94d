#include "ShotTime.h"

#include <cstdio>

namespace ShotTime {

std::int64_t millisecondsSinceEpoch(const timespec& time) {
    const std::int64_t seconds = time.tv_sec;
    const std::int64_t nanos = time.tv_nsec;
    if (seconds >= 0 || nanos == 0)
        return seconds * 1000 + nanos / 1'000'000;
    // Before 1970 the fraction counts toward zero: -1.0005 s is -1000 ms, not -1001.
    return -((-(seconds + 1)) * 1000 + (1'000'000'000 - nanos) / 1'000'000);
}

QString utcStamp(const timespec& time) {
    // Fractions of a second are dropped, also before 1970 (floor, not toward zero),
    // so the stamp names the second the moment falls in.
    const time_t seconds = time.tv_sec;
    tm parts{};
    if (gmtime_r(&seconds, &parts) == nullptr)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return QString::fromLatin1(text);
}

timespec now() {
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return time;
}

} // namespace ShotTime
