#include "ConfigStore.h"

#include "AppLocale.h"
#include "AppPaths.h"
#include "ConfigFile.h"
#include "ScreenshotFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>

namespace ConfigStore {

namespace {

const QString kCloud = QStringLiteral("cloud");
const QString kCaptures = QStringLiteral("captures");
const QString kSource = QStringLiteral("source");
const QString kHotkey = QStringLiteral("hotkey");

QJsonObject readObject(const QString& file) {
    return ConfigFile::read(file).object;
}

// The object a write starts from. A file that is not JSON (a typo in a file
// edited by hand) is never replaced: every other setting in it would be lost
// for the one being set. JSON that is not an object holds no settings to lose.
QJsonObject objectToRewrite(const QString& file) {
    const ConfigFile::Contents contents = ConfigFile::read(file);
    if (contents.state == ConfigFile::Contents::State::unusable)
        throw ConfigWriteError((contents.problem + u' ' +
                                AppLocale::text("Nothing was saved; correct or remove the file "
                                                "first.",
                                                "何も保存していません。先にファイルを直すか"
                                                "削除してください。"))
                                   .toStdString());
    return contents.object;
}

QJsonObject readLocal() {
    return readObject(AppPaths::localConfigFile());
}

std::optional<QString> cloudConfigURL(const QJsonObject& local) {
    const QJsonValue cloud = local.value(kCloud);
    if (!cloud.isString())
        return std::nullopt;
    return AppPaths::directoryPath(cloud.toString()) + QStringLiteral("/config.json");
}

// A configured folder: a non-empty string. An empty string names no folder, so
// it falls through to the default rather than meaning "the current folder".
std::optional<QString> configuredFolder(const QJsonObject& settings, const QString& key) {
    const QJsonValue value = settings.value(key);
    if (!value.isString() || value.toString().isEmpty())
        return std::nullopt;
    return AppPaths::directoryPath(value.toString());
}

// Written through a temporary file and a rename, so a reader on another thread
// meets either the old file or the new one, never half of one.
void writeJSON(const QString& file, const QJsonObject& object) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw ConfigWriteError(
            QStringLiteral("Cannot create the folder %1.").arg(folder).toStdString());
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly))
        throw ConfigWriteError(output.errorString().toStdString());
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    // commit() alone would put a file in place whose last bytes a full disk refused.
    if (output.write(bytes) != bytes.size() || !output.flush() ||
        output.error() != QFileDevice::NoError || !output.commit())
        throw ConfigWriteError(output.errorString().toStdString());
}

} // namespace

QJsonObject effective() {
    QJsonObject local = readLocal();
    const std::optional<QString> shared = cloudConfigURL(local);
    if (!shared)
        return local;
    const QJsonValue cloud = local.value(kCloud);
    const QJsonObject overlay = readObject(*shared);
    for (auto it = overlay.begin(); it != overlay.end(); ++it)
        local.insert(it.key(), it.value());
    local.insert(kCloud, cloud);
    return local;
}

Hotkey resolveHotkey() {
    const QJsonObject hotkey = effective().value(kHotkey).toObject();
    Hotkey result;
    const QJsonValue modifier = hotkey.value(QStringLiteral("modifier"));
    if (modifier.isString())
        result.modifier = hotkeyModifierFromRawValue(modifier.toString()).value_or(result.modifier);
    const QJsonValue threshold = hotkey.value(QStringLiteral("holdThreshold"));
    if (threshold.isDouble())
        result.holdThreshold = threshold.toDouble();
    result.holdThreshold = std::clamp(result.holdThreshold, 0.2, 0.8);
    return result;
}

QString resolveCaptureDir() {
    const QJsonObject settings = effective();
    if (const auto captures = configuredFolder(settings, kCaptures))
        return *captures;
    const QJsonValue cloud = settings.value(kCloud);
    if (cloud.isString())
        return AppPaths::directoryPath(cloud.toString()) + QStringLiteral("/captures");
    return AppPaths::appHome() + QStringLiteral("/captures");
}

QString resolveSource() {
    if (const auto source = configuredFolder(effective(), kSource))
        return *source;
    if (const auto system = ScreenshotFolder::systemLocation())
        return *system;
    return AppPaths::home() + QStringLiteral("/Desktop");
}

void setShared(const QString& key, const std::optional<QJsonValue>& value) {
    const QString target = cloudConfigURL(readLocal()).value_or(AppPaths::localConfigFile());
    QJsonObject object = objectToRewrite(target);
    if (value)
        object.insert(key, *value);
    else
        object.remove(key);
    writeJSON(target, object);
}

void setCloud(const std::optional<QString>& path) {
    QJsonObject object = objectToRewrite(AppPaths::localConfigFile());
    if (!path || path->isEmpty())
        object.remove(kCloud);
    else
        object.insert(kCloud, *path);
    writeJSON(AppPaths::localConfigFile(), object);
}

std::optional<bool> readBool(const QJsonValue& value) {
    if (value.isBool())
        return value.toBool();
    if (value.isDouble()) {
        if (value.toDouble() == 0.0)
            return false;
        if (value.toDouble() == 1.0)
            return true;
    }
    return std::nullopt;
}

bool autoOcrAllowed(const QJsonObject& settings) {
    return readBool(settings.value(QStringLiteral("autoOcr"))) != false;
}

bool captureNoticeWanted(const QJsonObject& settings) {
    return readBool(settings.value(QStringLiteral("notifyAfterCapture"))) != false;
}

} // namespace ConfigStore
