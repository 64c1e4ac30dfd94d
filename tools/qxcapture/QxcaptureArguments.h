#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// `qxcapture -i PATH` (a region) or `qxcapture -iw PATH` (a window).
struct QxcaptureArguments {
    bool window = false;
    QString outputPath;

    // The arguments after the program name; nothing when they are not one of the two forms.
    static std::optional<QxcaptureArguments> parse(const QStringList& arguments);
    static QString usage();
};
