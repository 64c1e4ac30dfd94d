#pragma once

#include "CaptureRunner.h"
#include "WarmOcrHelper.h"

#include <QObject>
#include <QString>

#include <memory>

class QTemporaryDir;

// What one text capture came to.
struct TextCaptureResult {
    enum class Kind {
        copied,    // the text is on the clipboard
        noText,    // the region holds no text; the clipboard is as it was
        cancelled, // the person chose nothing
        failed,    // the region or its text could not be had; `detail` says why
    };
    Kind kind = Kind::cancelled;
    QString text;   // copied: what went on the clipboard
    QString detail; // failed: the tool's or the recogniser's words
    // The number of lines of text, blank ones not counted.
    int lineCount() const;
};

// A region's text on the clipboard: the overlay chooses the region, which is
// written to a private temporary folder, never the save folder, and read by
// a helper whose recogniser starts loading as the overlay opens. One capture
// at a time; the picture is removed once read.
class TextCapture : public QObject {
    Q_OBJECT

public:
    TextCapture(CaptureRunner& runner, WarmOcrHelper& helper, QObject* parent = nullptr);
    ~TextCapture() override;

    // Starts a capture and returns at once; does nothing while one runs.
    void start();
    bool isRunning() const { return folder_ != nullptr; }

Q_SIGNALS:
    void finished(const TextCaptureResult& result);

private:
    void captured(const QString& path, CaptureRunner::Outcome outcome, const QString& detail);
    void read(const OcrAnswer& answer);
    void finish(const TextCaptureResult& result);

    CaptureRunner& runner_;
    WarmOcrHelper& helper_;
    std::unique_ptr<QTemporaryDir> folder_;
};

Q_DECLARE_METATYPE(TextCaptureResult)
