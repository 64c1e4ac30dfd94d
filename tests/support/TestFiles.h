#pragma once

#include <QByteArray>
#include <QString>

// Small file helpers for tests.
namespace TestFiles {

void write(const QString& path, const QByteArray& content = {});
// A shell script, executable, written to `path`.
void writeScript(const QString& path, const QByteArray& body);
// Sets a file's modification time, in whole seconds since 1970 plus nanoseconds.
void setModificationTime(const QString& path, long long seconds, long nanoseconds = 0);

} // namespace TestFiles
