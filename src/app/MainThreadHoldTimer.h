#pragma once

#include "HoldTimer.h"

#include <QTimer>

#include <functional>

// The hold timer on the main thread's event loop.
class MainThreadHoldTimer : public HoldTimer {
public:
    explicit MainThreadHoldTimer(std::function<void()> fired);

    void start(double seconds) override;
    void stop() override;

private:
    QTimer timer_;
};
