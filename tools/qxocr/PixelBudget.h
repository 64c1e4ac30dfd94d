#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>

// Bounds the pixels that all workers hold decoded at once, and with them the
// helper's memory: a worker waits before decoding until its picture fits. A
// picture larger than the whole budget waits until it is alone.
class PixelBudget {
public:
    explicit PixelBudget(qint64 capacity);

    // Holds its pixels until destroyed.
    class Reservation {
    public:
        Reservation(PixelBudget& budget, qint64 pixels);
        ~Reservation();
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;

    private:
        PixelBudget& budget_;
        qint64 pixels_;
    };

    qint64 inUse();

private:
    void acquire(qint64 pixels);
    void release(qint64 pixels);

    const qint64 capacity_;
    std::mutex mutex_;
    std::condition_variable released_;
    qint64 inUse_ = 0;
};
