#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// Paths handed from the reader of standard input to the workers.
class PathQueue {
public:
    void push(QString path);
    // No more paths will come; waiting workers wake up and finish.
    void close();
    // The next path, waiting for one; nothing once closed and drained.
    std::optional<QString> pop();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QString> paths_;
    bool closed_ = false;
};
