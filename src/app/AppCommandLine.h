#pragma once

#include <QString>
#include <QStringList>

// What `glimber` was started with. The request is what goes to the running
// instance: empty for a plain start, else a command's name and, for a command
// that takes one, an absolute path.
struct AppCommandLine {
    enum class Kind { request, help, usageError };

    Kind kind = Kind::request;
    QStringList request;
    QString error; // usageError: one line for the user

    // The arguments after the program name; relative paths are taken from the
    // current folder, since the running instance may have another one.
    static AppCommandLine parse(const QStringList& arguments);
    static QString usage();
};
