#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

// Small file helpers for tests.
namespace TestFiles {

inline void write(const QString& path, const QByteArray& content = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    file.write(content);
}

// The whole file; empty when it cannot be read.
inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A shell script, executable, written to `path`.
inline void writeScript(const QString& path, const QByteArray& body) {
    write(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Sets a file's modification time, in whole seconds since 1970 plus nanoseconds.
inline void setModificationTime(const QString& path, long long seconds, long nanoseconds = 0) {
    const timespec times[2] = {{time_t(seconds), nanoseconds}, {time_t(seconds), nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW),
              0);
}

} // namespace TestFiles
