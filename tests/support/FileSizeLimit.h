#pragma once

#include <QProcess>

#include <functional>

// A full disk without root: a file-size limit (RLIMIT_FSIZE) makes every write
// beyond `bytes` in any file fail with EFBIG, SIGXFSZ ignored, in a child only.
namespace FileSizeLimit {

// For a process not yet started.
void applyTo(QProcess& process, long bytes);

// Runs `work` in a forked child under the limit; the child's exit status.
int runInChild(long bytes, const std::function<int()>& work);

} // namespace FileSizeLimit
