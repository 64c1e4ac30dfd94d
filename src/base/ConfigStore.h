#pragma once

#include "Hotkey.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>
#include <stdexcept>

// A settings write that failed or was refused; what() is a sentence for the user.
class ConfigWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Stateless access to config.json in ~/.glimvault and, when the local file names
// a "cloud" folder, the shared config.json there, which is laid over the local
// settings and receives every settings write. A file is parsed again only when
// it changed, so a change by hand or from another computer is seen at the next
// read. Reading never fails: a file that cannot be read, is not a JSON object
// or is larger than 1 MB reads as empty; writing to such a file is refused.
namespace ConfigStore {

// The merged settings; "cloud" always comes from the local file.
QJsonObject effective();

Hotkey resolveHotkey();

// The save folder for captures. Not created here.
QString resolveCaptureDir();

// The folder where the desktop's own screenshot tool saves, indexed besides
// the save folder.
QString resolveSource();

// Sets (or, without a value, removes) one key in the file that receives settings
// writes. Throws ConfigWriteError, also when that file exists but reads as
// unusable; it then stays as it was, byte for byte.
void setShared(const QString& key, const std::optional<QJsonValue>& value);

// Sets or (absent or empty) removes "cloud" in the local file. Throws
// ConfigWriteError, like setShared.
void setCloud(const std::optional<QString>& path);

// The settings' boolean rule: a JSON boolean, or a number equal to 0 or 1.
std::optional<bool> readBool(const QJsonValue& value);

// Whether the indexer may run text recognition: only a value that reads as
// false switches it off.
bool autoOcrAllowed(const QJsonObject& settings);

// Whether each capture is announced with a notification that offers the next
// step; on unless switched off. Failures are told either way.
bool captureNoticeWanted(const QJsonObject& settings);

} // namespace ConfigStore
