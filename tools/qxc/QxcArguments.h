#pragma once

#include <QString>
#include <QStringList>

// What a qxc command line asks for.
struct QxcArguments {
    enum class Command { help, version, ocr, search, recent, text, usageError };

    Command command = Command::help;
    QString text;                // search
    QStringList paths;           // text
    int limit = 200;             // search, recent
    bool json = false;           // search, recent, text
    bool listUnreadable = false; // ocr --errors
    bool reread = false;         // ocr --reread
    QString error;               // usageError: one line for the user

    // Parses the arguments after the program name.
    static QxcArguments parse(const QStringList& arguments);
    static QString usage();
};
