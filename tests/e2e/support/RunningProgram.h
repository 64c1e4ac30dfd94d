#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

// One of the real programs of build/bin, started with this process's
// environment (the sandboxed home, the headless display) and stopped, with
// everything it started, when the object goes.
class RunningProgram {
public:
    RunningProgram(
        const QString& name, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    qint64 pid() const { return process_.processId(); }
    bool running() const { return process_.state() != QProcess::NotRunning; }
    bool waitForExit(int timeoutMs);
    int exitCode() const { return process_.exitCode(); }
    // What it wrote to standard error so far.
    QByteArray errors() { return process_.readAllStandardError(); }

    // The process id of a running child with the given name.
    std::optional<qint64> child(const QString& name) const;

    static QString path(const QString& name);

private:
    QProcess process_;
};

// Runs a program to its end and returns its standard output.
QByteArray runToEnd(const QString& program, const QStringList& arguments, int* exitCode = nullptr);
