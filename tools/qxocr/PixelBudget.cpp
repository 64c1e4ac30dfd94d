#include "PixelBudget.h"

PixelBudget::PixelBudget(qint64 capacity)
    : capacity_(capacity) {}

PixelBudget::Reservation::Reservation(PixelBudget& budget, qint64 pixels)
    : budget_(budget)
    , pixels_(pixels) {
    budget_.acquire(pixels_);
}

PixelBudget::Reservation::~Reservation() {
    budget_.release(pixels_);
}

qint64 PixelBudget::inUse() {
    const std::lock_guard lock(mutex_);
    return inUse_;
}

void PixelBudget::acquire(qint64 pixels) {
    std::unique_lock lock(mutex_);
    released_.wait(lock, [&] { return inUse_ == 0 || inUse_ + pixels <= capacity_; });
    inUse_ += pixels;
}

void PixelBudget::release(qint64 pixels) {
    {
        const std::lock_guard lock(mutex_);
        inUse_ -= pixels;
    }
    released_.notify_all();
}
