#pragma once

#include "PixPtr.h"

#include <QString>

// An 8-bit grey picture ready for recognition, or the short reason why there is none.
struct DecodedImage {
    PixPtr grey;
    QString error;

    bool ok() const { return error.isEmpty(); }
    static DecodedImage failure(QString reason) { return {nullptr, std::move(reason)}; }
};
