#pragma once

#include <QString>

#include <optional>

// One indexed screenshot as the library sees it; `id` is its identity.
struct Shot {
    qint64 id = 0;
    QString path;
    QString filename;
    std::optional<QString> takenAt;
    std::optional<QString> ocrText;

    friend bool operator==(const Shot&, const Shot&) = default;
};
