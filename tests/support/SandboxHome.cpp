#include "SandboxHome.h"

#include <QDir>

namespace {

const char* const variables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                 "XDG_DATA_HOME",  "XDG_STATE_HOME",  "XDG_PICTURES_DIR",
                                 "XDG_RUNTIME_DIR"};

} // namespace

SandboxHome::SandboxHome() {
    const QString home = dir_.path();
    const QList<std::pair<const char*, QString>> values{
        {"HOME", home},
        {"XDG_CONFIG_HOME", home + QStringLiteral("/.config")},
        {"XDG_CACHE_HOME", home + QStringLiteral("/.cache")},
        {"XDG_DATA_HOME", home + QStringLiteral("/.local/share")},
        {"XDG_STATE_HOME", home + QStringLiteral("/.local/state")},
        {"XDG_PICTURES_DIR", home + QStringLiteral("/Pictures")},
        {"XDG_RUNTIME_DIR", home + QStringLiteral("/.run")},
    };
    for (const char* name : variables) {
        if (qEnvironmentVariableIsSet(name))
            saved_.append({name, qgetenv(name)});
        else
            unset_.append(name);
    }
    for (const auto& [name, value] : values) {
        QDir().mkpath(value);
        qputenv(name, value.toUtf8());
    }
    QFile::setPermissions(home + QStringLiteral("/.run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

SandboxHome::~SandboxHome() {
    for (const auto& [name, value] : saved_)
        qputenv(name.constData(), value);
    for (const QByteArray& name : unset_)
        qunsetenv(name.constData());
}
