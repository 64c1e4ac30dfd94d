#include "ChildProcess.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::vector<QByteArray> changedEnvironment(const QStringList& changes) {
    std::vector<QByteArray> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        entries.emplace_back(*entry);
    for (const QString& change : changes) {
        const QByteArray name = change.section(u'=', 0, 0).toUtf8() + '=';
        std::erase_if(entries, [&](const QByteArray& entry) { return entry.startsWith(name); });
        if (change.contains(u'='))
            entries.push_back(change.toUtf8());
    }
    return entries;
}

ChildProcess::Usage usageOf(int status, const rusage& usage) {
    ChildProcess::Usage result;
    result.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.peakKilobytes = usage.ru_maxrss;
    result.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

} // namespace

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments,
                           const QString& inputFile, const QString& outputFile,
                           const QStringList& environment) {
    std::vector<QByteArray> argumentBytes{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        argumentBytes.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& argument : argumentBytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environmentBytes = changedEnvironment(environment);
    std::vector<char*> envp;
    for (QByteArray& entry : environmentBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO,
                                     QFile::encodeName(inputFile).constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                     QFile::encodeName(outputFile).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::Usage ChildProcess::wait() {
    int status = 0;
    rusage usage{};
    if (pid_ <= 0 || wait4(pid_, &status, 0, &usage) != pid_)
        return {};
    return usageOf(status, usage);
}

std::pair<pid_t, ChildProcess::Usage> ChildProcess::waitAny() {
    int status = 0;
    rusage usage{};
    const pid_t pid = wait4(-1, &status, 0, &usage);
    if (pid <= 0)
        return {-1, {}};
    return {pid, usageOf(status, usage)};
}
