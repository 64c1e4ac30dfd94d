#include "MainThreadHoldTimer.h"

#include <cmath>

MainThreadHoldTimer::MainThreadHoldTimer(std::function<void()> fired) {
    timer_.setSingleShot(true);
    // Hold thresholds are a few hundred milliseconds; a coarse timer could be
    // off by 5 %, enough to turn a deliberate tap into a hold.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, std::move(fired));
}

void MainThreadHoldTimer::start(double seconds) {
    timer_.start(int(std::lround(seconds * 1000)));
}

void MainThreadHoldTimer::stop() {
    timer_.stop();
}
