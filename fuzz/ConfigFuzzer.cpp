// The settings file as every reader of the program sees it, in a home folder
// of the fuzzer's own. (A settings write would cost an fsync per input.)
#include "ConfigStore.h"

#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString configFile;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char home[] = "/tmp/glimber-config-fuzz-XXXXXX";
    if (!mkdtemp(home))
        std::abort();
    setenv("HOME", home, 1);
    setenv("XDG_PICTURES_DIR", home, 1);
    QDir().mkpath(QString::fromLocal8Bit(home) + QStringLiteral("/.glimvault"));
    configFile = QString::fromLocal8Bit(home) + QStringLiteral("/.glimvault/config.json");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QFile file(configFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const Hotkey hotkey = ConfigStore::resolveHotkey();
    if (hotkey.holdThreshold < 0.2 || hotkey.holdThreshold > 0.8)
        __builtin_trap();
    ConfigStore::resolveCaptureDir();
    ConfigStore::resolveSource();
    ConfigStore::autoOcrAllowed(ConfigStore::effective());
    return 0;
}
