#pragma once

// The one-shot timer that tells a hold of the trigger key from a tap. An
// interface so that the key logic can be driven without waiting in real time.
class HoldTimer {
public:
    virtual ~HoldTimer() = default;

    // Arms the timer, replacing one that is armed already.
    virtual void start(double seconds) = 0;
    // Disarms it; a stopped timer never fires.
    virtual void stop() = 0;
};
