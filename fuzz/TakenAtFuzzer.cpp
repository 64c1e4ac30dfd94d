// Capture times read from file names: the first eight bytes are the file's
// modification time in seconds, the rest its name.
#include "FolderScan.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int64_t seconds = 0;
    if (size < sizeof seconds)
        return 0;
    std::memcpy(&seconds, data, sizeof seconds);
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data + sizeof seconds),
                                           qsizetype(size - sizeof seconds));
    FolderScan::parseTakenAt(name, timespec{time_t(seconds), 0});
    return 0;
}
