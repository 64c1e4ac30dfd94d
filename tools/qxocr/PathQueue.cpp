#include "PathQueue.h"

void PathQueue::push(QString path) {
    {
        const std::lock_guard lock(mutex_);
        paths_.push_back(std::move(path));
    }
    changed_.notify_one();
}

void PathQueue::close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::optional<QString> PathQueue::pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !paths_.empty(); });
    if (paths_.empty())
        return std::nullopt;
    QString path = std::move(paths_.front());
    paths_.pop_front();
    return path;
}
