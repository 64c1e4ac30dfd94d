#pragma once

#include "CaptureNamer.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Region, window and scrolling captures. The capture tool (qxcapture) and the
// scroll helper (qxscroll) are programs beside this one; the tool writes the
// PNG, and this puts it on the clipboard. Nothing here ever waits on the main
// thread: the tool runs as a process watched through the event loop, the image
// is decoded on a pool thread, and only the clipboard write comes back.
class CaptureRunner : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        copied,         // the file exists and its image is on the clipboard
        written,        // the file exists (runCaptureInto: nothing is copied)
        noFile,         // the user cancelled
        failed,         // the tool ended in an error and wrote nothing
        unreadable,     // the file exists but holds no image; it is kept
        toolNotStarted, // the tool is missing or would not start
    };
    Q_ENUM(Outcome)

    // The tool's options for a region, a window and every screen.
    static QStringList regionArguments();
    static QStringList windowArguments();
    static QStringList screensArguments();

    // `helperFolder` holds qxcapture and qxscroll; by default the folder of
    // the running executable.
    explicit CaptureRunner(QString helperFolder = {}, QObject* parent = nullptr);

    // Starts one capture into the save folder and returns at once. Several
    // captures may run at the same time.
    void runCapture(const QStringList& toolArguments);

    // What a capture into a path of the caller's came to; `detail` as for captureFinished.
    using Ended = std::function<void(Outcome outcome, const QString& detail)>;
    // Starts one capture into `path`, outside the save folder, and returns at
    // once; the file is the caller's: neither copied nor announced.
    void runCaptureInto(const QString& path, const QStringList& toolArguments, const Ended& ended);

    // Starts the scroll helper with "--region" and the output path, and does not
    // watch it. False when there is no helper to start.
    bool startScrollCapture();

    // The clock that names the files; tests set a fixed one.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

Q_SIGNALS:
    // After every capture started by runCapture, once its end is known.
    // `detail` says what went wrong in the tool's words (failed,
    // toolNotStarted), else it is empty.
    void captureFinished(const QString& path, CaptureRunner::Outcome outcome,
                         const QString& detail);

private:
    QString reserveOutput(const QString& ending);
    void startTool(const QStringList& toolArguments, const QString& path, const Ended& ended);
    // The tool wrote `path`: its image goes on the clipboard.
    void collect(const QString& path);

    QString helperFolder_;
    CaptureNamer namer_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
};
