#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest print Qt strings (and the containers holding them) as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
