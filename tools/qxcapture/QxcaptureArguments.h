#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// `qxcapture -i PATH` (a region), `qxcapture -iw PATH` (a window) or
// `qxcapture --screens PATH` (every screen, without asking anything).
struct QxcaptureArguments {
    enum class Mode { region, window, screens };

    Mode mode = Mode::region;
    QString outputPath;

    // The arguments after the program name; nothing when they are not one of the forms.
    static std::optional<QxcaptureArguments> parse(const QStringList& arguments);
    static QString usage();
};
