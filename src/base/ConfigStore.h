#pragma once

#include "Hotkey.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>
#include <stdexcept>

// A settings write that failed; what() is a sentence for the user.
class ConfigWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Stateless access to config.json in ~/.glimvault and, when the local file names
// a "cloud" folder, the shared config.json there, which is laid over the local
// settings and receives every settings write. Nothing is cached: every call reads
// the files again. Reading never fails; unreadable files read as empty objects.
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
// writes. Throws ConfigWriteError.
void setShared(const QString& key, const std::optional<QJsonValue>& value);

// Sets or (absent or empty) removes "cloud" in the local file. Throws ConfigWriteError.
void setCloud(const std::optional<QString>& path);

// The settings' boolean rule: a JSON boolean, or a number equal to 0 or 1.
std::optional<bool> readBool(const QJsonValue& value);

// Whether the indexer may run text recognition: only a value that reads as
// false switches it off.
bool autoOcrAllowed(const QJsonObject& settings);

} // namespace ConfigStore
