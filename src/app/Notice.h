#pragma once

#include "CaptureRunner.h"
#include "TextCapture.h"

#include <QString>

#include <optional>

// Something the person must hear about although no window is open: shown as a
// desktop notification, in the user interface's language.
struct Notice {
    QString title;
    QString body;
    // Something went wrong, as against news the person asked for.
    bool failure = true;

    // A capture that was lost or cannot be used, and where; nothing for a
    // capture on the clipboard or one the user cancelled.
    static std::optional<Notice> forCapture(const QString& path, CaptureRunner::Outcome outcome,
                                            const QString& detail);

    // What became of a region's text; nothing for a capture the person cancelled.
    static std::optional<Notice> forTextCapture(const TextCaptureResult& result);

    // Under Wayland, neither the desktop's shortcuts nor the keyboards can start
    // a capture: the commands to bind to keys instead.
    static Notice forNoCaptureKeys(const QString& reason);

    // The database file belongs to another program or is not one: nothing is indexed.
    static Notice forForeignIndex(const QString& databasePath, const QString& detail);
};
