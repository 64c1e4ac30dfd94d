#pragma once

#include <leptonica/allheaders.h>
#include <memory>

// Owns one Leptonica picture.
struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;
