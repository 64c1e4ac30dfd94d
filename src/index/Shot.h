#pragma once

#include <QString>

#include <optional>

// How a search found a shot: its text holds what was typed as it was typed,
// every word of it in some order, or a word with a letter misread.
enum class ShotMatch { exact, words, near };

// One indexed screenshot as the library sees it; `id` is its identity.
struct Shot {
    qint64 id = 0;
    QString path;
    QString filename;
    std::optional<QString> takenAt;
    std::optional<QString> ocrText;
    ShotMatch match = ShotMatch::exact;

    friend bool operator==(const Shot&, const Shot&) = default;
};
