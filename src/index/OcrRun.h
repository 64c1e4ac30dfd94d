#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The OCR helper protocol: image paths on the helper's standard input, one per
// line; one JSON object per image on its standard output, each line ended by a
// bare line feed: {"path": ..., "text": ...} or {"path": ..., "error": ...}.
namespace OcrRun {

// Where the helper is expected: "qxocr" beside the running executable.
QString defaultHelperPath();

// The helper location if something exists there.
std::optional<QString> ocrBinaryURL(const QString& candidate = defaultHelperPath());

struct HelperRun {
    // A helper that prints nothing for this long is killed; what it printed before counts.
    int idleTimeoutMs = 120'000;
    // Called once for every complete output line, as it arrives.
    std::function<void()> onLine;
};

// Runs the helper once over the paths; its standard output, or an empty string
// when it could not be started or printed something that is not UTF-8.
QString runQxocr(const QString& helper, const QStringList& paths, const HelperRun& run = {});

// Path -> recognised text; no text for a path whose line carries "error".
// When several lines name the same path, the last one wins. `errors`, when
// given, receives the reason each path without text gave; `words` where the
// words of each path with text stand, when its line says so ("words").
QHash<QString, std::optional<QString>> parseNdjson(const QString& output,
                                                   QHash<QString, QString>* errors = nullptr,
                                                   QHash<QString, QByteArray>* words = nullptr);

} // namespace OcrRun
