#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <utility>

// A throw-away home folder: HOME and the XDG folders point into a fresh temporary
// folder for the object's life, so no test ever touches the user's real files.
class SandboxHome {
public:
    SandboxHome();
    ~SandboxHome();
    SandboxHome(const SandboxHome&) = delete;
    SandboxHome& operator=(const SandboxHome&) = delete;

    QString path() const { return dir_.path(); }
    // A path below the home folder.
    QString file(const QString& relative) const { return dir_.filePath(relative); }

private:
    QTemporaryDir dir_;
    QList<std::pair<QByteArray, QByteArray>> saved_;
    QList<QByteArray> unset_;
};
