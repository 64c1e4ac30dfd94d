#pragma once

#include <QLockFile>
#include <QString>

// One capture overlay per display. A second overlay stacked on the first would
// freeze the first one's dimmed screen into its picture and leave a stale
// frozen desktop behind it, so whoever comes second gives up instead. Held
// until the object goes; a holder that died leaves no lock behind.
class OverlayLock {
public:
    // `runtimeFolder` defaults to the session's runtime folder.
    explicit OverlayLock(const QString& runtimeFolder = {});

    // False only when another overlay is open on this display; never waits.
    bool claim();

private:
    QLockFile lock_;
};
