#pragma once

#include <QString>

#include <functional>
#include <vector>

class AppDelegate;

// Something a command line asks of the running program: `glimber --NAME` or,
// for a command that takes a path, `glimber --NAME PATH`. A second start of the
// program hands its command to the first one; this table is the whole list.
struct AppCommand {
    QString name;        // the option without its dashes
    bool takesPath;      // one path follows, made absolute before it is handed on
    QString description; // for --help
    std::function<void(AppDelegate&, const QString& path)> run;
    // Why the command cannot be done with this path, checked by the starting
    // process so that it can say so; empty when it can, or for no path.
    std::function<QString(const QString& path)> refusal = [](const QString&) { return QString(); };
};

const std::vector<AppCommand>& appCommands();

const AppCommand* findAppCommand(const QString& name);
