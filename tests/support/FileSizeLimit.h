#pragma once

#include <QProcess>

#include <csignal>
#include <sys/resource.h>

// A full disk without root: the child process gets a file-size limit
// (RLIMIT_FSIZE) with SIGXFSZ ignored, so every write past `bytes` fails.
inline void limitFileSize(QProcess& process, long bytes) {
    process.setChildProcessModifier([bytes] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{rlim_t(bytes), rlim_t(bytes)};
        setrlimit(RLIMIT_FSIZE, &size);
    });
}
