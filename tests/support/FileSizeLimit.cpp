#include "FileSizeLimit.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace FileSizeLimit {

namespace {

void limit(long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit size{rlim_t(bytes), rlim_t(bytes)};
    setrlimit(RLIMIT_FSIZE, &size);
}

} // namespace

void applyTo(QProcess& process, long bytes) {
    process.setChildProcessModifier([bytes] { limit(bytes); });
}

int runInChild(long bytes, const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        limit(bytes);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace FileSizeLimit
