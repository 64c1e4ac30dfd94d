// The OCR helper's output as the index parses it: any bytes a broken or
// hostile helper could print.
#include "OcrRun.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString output = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QHash<QString, QString> errors;
    const auto texts = OcrRun::parseNdjson(output, &errors);
    for (auto it = errors.cbegin(); it != errors.cend(); ++it) {
        if (!texts.contains(it.key()) || texts.value(it.key()).has_value())
            __builtin_trap(); // a reason only ever stands for a path without text
    }
    return 0;
}
