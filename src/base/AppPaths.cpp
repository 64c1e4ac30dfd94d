#include "AppPaths.h"

#include <QDir>

#include <array>
#include <optional>
#include <pwd.h>

namespace AppPaths {

QString home() {
    return QDir::homePath();
}

QString appHome() {
    return home() + QStringLiteral("/.glimvault");
}

QString localConfigFile() {
    return appHome() + QStringLiteral("/config.json");
}

QString databaseFile() {
    return appHome() + QStringLiteral("/db.sqlite");
}

namespace {

std::optional<QString> homeOfUser(const QString& user) {
    if (user.isEmpty())
        return home();
    // The reentrant lookup: configuration is read from the indexer's thread too.
    passwd entry{};
    passwd* found = nullptr;
    std::array<char, 4096> buffer{};
    if (getpwnam_r(user.toLocal8Bit().constData(), &entry, buffer.data(), buffer.size(), &found) !=
            0 ||
        found == nullptr || found->pw_dir == nullptr)
        return std::nullopt;
    return QString::fromLocal8Bit(found->pw_dir);
}

} // namespace

QString expandTilde(const QString& path) {
    if (!path.startsWith(QLatin1Char('~')))
        return path;
    qsizetype slash = path.indexOf(QLatin1Char('/'));
    if (slash < 0)
        slash = path.size();
    const std::optional<QString> userHome = homeOfUser(path.mid(1, slash - 1));
    if (!userHome)
        return path;
    return *userHome + path.mid(slash);
}

QString directoryPath(const QString& configured) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(expandTilde(configured)));
}

} // namespace AppPaths
