#pragma once

#include <leptonica/allheaders.h>
#include <memory>

// Owners of Leptonica's pictures, picture arrays and box arrays.
struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
struct PixaDeleter {
    void operator()(Pixa* pixa) const { pixaDestroy(&pixa); }
};
struct BoxaDeleter {
    void operator()(Boxa* boxa) const { boxaDestroy(&boxa); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;
using PixaPtr = std::unique_ptr<Pixa, PixaDeleter>;
using BoxaPtr = std::unique_ptr<Boxa, BoxaDeleter>;
