#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

// A throw-away home folder: HOME and the XDG folders point into a fresh temporary
// folder for the object's life, so no test ever touches the user's real files.
class SandboxHome {
public:
    SandboxHome() {
        for (const auto& [name, relative] : folders) {
            const QString value = *relative ? dir_.filePath(relative) : dir_.path();
            QDir().mkpath(value);
            saved_.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
            qputenv(name, value.toUtf8());
        }
        QFile::setPermissions(file(".run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~SandboxHome() {
        for (const Saved& variable : saved_) {
            if (variable.wasSet)
                qputenv(variable.name, variable.value);
            else
                qunsetenv(variable.name);
        }
        // QTemporaryDir cannot remove names that are not UTF-8, which some tests
        // create on purpose; the byte-level removal leaves nothing behind.
        std::error_code ignored;
        std::filesystem::remove_all(dir_.path().toStdString(), ignored);
    }
    SandboxHome(const SandboxHome&) = delete;
    SandboxHome& operator=(const SandboxHome&) = delete;

    QString path() const { return dir_.path(); }
    // A path below the home folder.
    QString file(const QString& relative) const { return dir_.filePath(relative); }

private:
    static constexpr std::pair<const char*, const char*> folders[] = {
        {"HOME", ""},
        {"XDG_CONFIG_HOME", ".config"},
        {"XDG_CACHE_HOME", ".cache"},
        {"XDG_DATA_HOME", ".local/share"},
        {"XDG_STATE_HOME", ".local/state"},
        {"XDG_PICTURES_DIR", "Pictures"},
        {"XDG_RUNTIME_DIR", ".run"},
    };
    struct Saved {
        const char* name;
        bool wasSet;
        QByteArray value;
    };

    QTemporaryDir dir_;
    QList<Saved> saved_;
};
