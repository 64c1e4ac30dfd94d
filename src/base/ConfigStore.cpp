#include "ConfigStore.h"

#include "AppLocale.h"
#include "AppPaths.h"
#include "ScreenshotFolder.h"

#include <QDir>
#include <QFile>
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
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(input.readAll());
    return document.isObject() ? document.object() : QJsonObject{};
}

// The object a write starts from. A file that exists but cannot be read or
// parsed is the person's to repair: writing over it would throw away every
// setting in it, so the write is refused and the file stays as it is.
QJsonObject readForWrite(const QString& file) {
    QFile input(file);
    if (!input.exists())
        return {};
    if (!input.open(QIODevice::ReadOnly))
        throw ConfigWriteError(input.errorString().toStdString());
    const QByteArray bytes = input.readAll();
    if (bytes.trimmed().isEmpty())
        return {};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw ConfigWriteError(
            AppLocale::text(
                "%1 is not valid JSON (%2). It was left unchanged so that it can be "
                "repaired.",
                "%1 は正しい JSON ではありません（%2）。修復できるよう変更せずに残しました。")
                .arg(file, error.errorString())
                .toStdString());
    return document.isObject() ? document.object() : QJsonObject{};
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
    output.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
    if (!output.commit())
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
    QJsonObject object = readForWrite(target);
    if (value)
        object.insert(key, *value);
    else
        object.remove(key);
    writeJSON(target, object);
}

void setCloud(const std::optional<QString>& path) {
    QJsonObject object = readForWrite(AppPaths::localConfigFile());
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

} // namespace ConfigStore
