#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>

// Writes whole result lines to a file descriptor from any thread, each the
// moment it is complete, so a crash loses only the pictures still in work.
class ResultWriter {
public:
    explicit ResultWriter(int fd);

    // False once the reader has gone away; nothing is written after that.
    bool write(const QByteArray& line);
    bool broken() const { return broken_; }

private:
    int fd_;
    std::mutex mutex_;
    std::atomic<bool> broken_ = false;
};
