#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// A program run for the benchmark, with standard input and output in files
// and standard error discarded, measured by the kernel when it ends.
class ChildProcess {
public:
    struct Usage {
        double cpuSeconds = 0; // user and system time of the process and its threads
        long peakKilobytes = 0;
        bool succeeded = false;
    };

    // `program` is looked up in PATH unless it holds a slash. `environment` entries
    // ("NAME=value", or "NAME" to remove) change the inherited environment.
    ChildProcess(const QString& program, const QStringList& arguments, const QString& inputFile,
                 const QString& outputFile, const QStringList& environment = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Waits for this process.
    Usage wait();
    // Waits for whichever child ends first: its pid and usage; pid -1 when none is left.
    static std::pair<pid_t, Usage> waitAny();

private:
    pid_t pid_ = -1;
};
