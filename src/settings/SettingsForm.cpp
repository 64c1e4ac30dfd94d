#include "SettingsForm.h"

#include "AppLocale.h"
#include "AppPaths.h"
#include "ConfigStore.h"
#include "LoginItem.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

namespace {

QString storedString(const QJsonObject& settings, const char* key) {
    const QJsonValue value = settings.value(QLatin1String(key));
    return value.isString() ? value.toString() : QString();
}

[[noreturn]] void refuse(const char* english, const char* japanese, const QString& folder) {
    throw SettingsFolderError(AppLocale::text(english, japanese).arg(folder).toStdString());
}

void requireNoFileAt(const QString& folder) {
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        refuse("“%1” is a file, not a folder.", "「%1」はフォルダではなくファイルです。", folder);
}

// A folder the program will write into: it must be a folder, exist or be
// creatable, and take files. A save folder that fails this would lose every
// capture that follows; a cloud folder that fails it would leave the local
// file pointing at a place no setting can be written to.
void checkWritableFolder(const QString& configured) {
    const QString folder = AppPaths::directoryPath(configured);
    requireNoFileAt(folder);
    if (!QDir().mkpath(folder))
        refuse("The folder “%1” cannot be created.", "フォルダ「%1」を作成できません。", folder);
    if (!QFileInfo(folder).isWritable())
        refuse("The folder “%1” is not writable.", "フォルダ「%1」に書き込めません。", folder);
}

// The save folder as it will be once the form is saved. With a cloud folder
// and an empty "Save to", a "captures" path left in the local file would apply
// again; that path was the person's own choice, so only the cloud default is
// checked here.
QString saveFolderAfterSave(const SettingsForm& form) {
    if (!form.captures.isEmpty())
        return form.captures;
    if (!form.cloud.isEmpty())
        return form.cloud + QStringLiteral("/captures");
    return AppPaths::appHome() + QStringLiteral("/captures");
}

void checkFolders(const SettingsForm& form) {
    if (!form.cloud.isEmpty())
        checkWritableFolder(form.cloud);
    checkWritableFolder(saveFolderAfterSave(form));
    // The scan folder is only read, and may appear later; a file in its place is
    // still no folder.
    if (!form.source.isEmpty())
        requireNoFileAt(AppPaths::directoryPath(form.source));
}

std::optional<QJsonValue> pathOrNothing(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return QJsonValue(path);
}

} // namespace

SettingsForm SettingsForm::stored() {
    const QJsonObject settings = ConfigStore::effective();
    const Hotkey hotkey = ConfigStore::resolveHotkey();
    SettingsForm form;
    form.captures = storedString(settings, "captures");
    form.source = storedString(settings, "source");
    form.cloud = storedString(settings, "cloud");
    form.modifier = hotkey.modifier;
    form.holdThreshold = hotkey.holdThreshold;
    form.autoOcr = ConfigStore::readBool(settings.value(QStringLiteral("autoOcr"))).value_or(true);
    form.notifyAfterCapture = ConfigStore::captureNoticeWanted(settings);
    form.launchAtLogin = LoginItem::isEnabled();
    return form;
}

void SettingsForm::save() const {
    checkFolders(*this);
    // Each write reads the file afresh and changes one key, so keys this form
    // does not show survive, also when the file changed while the window was open.
    ConfigStore::setCloud(cloud);
    ConfigStore::setShared(QStringLiteral("captures"), pathOrNothing(captures));
    ConfigStore::setShared(QStringLiteral("source"), pathOrNothing(source));
    ConfigStore::setShared(QStringLiteral("hotkey"),
                           QJsonObject{{QStringLiteral("modifier"), rawValue(modifier)},
                                       {QStringLiteral("holdThreshold"), holdThreshold}});
    ConfigStore::setShared(QStringLiteral("autoOcr"), autoOcr);
    ConfigStore::setShared(QStringLiteral("notifyAfterCapture"), notifyAfterCapture);
    LoginItem::setEnabled(launchAtLogin);
}
