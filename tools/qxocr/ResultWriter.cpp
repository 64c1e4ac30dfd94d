#include "ResultWriter.h"

#include <cerrno>
#include <unistd.h>

ResultWriter::ResultWriter(int fd)
    : fd_(fd) {}

bool ResultWriter::write(const QByteArray& line) {
    const std::lock_guard lock(mutex_);
    const char* data = line.constData();
    qsizetype left = line.size();
    while (left > 0 && !broken_) {
        const ssize_t written = ::write(fd_, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            broken_ = true;
            break;
        }
        data += written;
        left -= written;
    }
    return !broken_;
}
