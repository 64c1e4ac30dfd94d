// qxocr's first look at an image file: the header check against the pixel
// budget, then the decoding of whatever passed it.
#include "ImageFile.h"

#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString imagePath;

// Small enough that a decode costs milliseconds, so the fuzzer keeps its pace.
constexpr qint64 maxPixels = 1'000'000;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    imagePath = QStringLiteral("/tmp/glimber-image-fuzz-%1").arg(getpid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QFile file(imagePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    ImageFile image(imagePath, maxPixels);
    if (image.error().isEmpty())
        image.decode();
    return 0;
}
