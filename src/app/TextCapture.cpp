#include "TextCapture.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

int TextCaptureResult::lineCount() const {
    int lines = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        lines += line.trimmed().isEmpty() ? 0 : 1;
    return lines;
}

TextCapture::TextCapture(CaptureRunner& runner, WarmOcrHelper& helper, QObject* parent)
    : QObject(parent)
    , runner_(runner)
    , helper_(helper) {}

TextCapture::~TextCapture() = default;

void TextCapture::start() {
    if (folder_)
        return;
    // Readable by this user only: a region may show a password or a message.
    auto folder =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/glimber-text-XXXXXX"));
    if (!folder->isValid())
        return finish({TextCaptureResult::Kind::failed, {}, folder->errorString()});
    folder_ = std::move(folder);
    // The recogniser loads while the person drags.
    helper_.warmUp();
    const QString path = folder_->filePath(QStringLiteral("region.png"));
    runner_.runCaptureInto(path, CaptureRunner::regionArguments(),
                           [this, path](CaptureRunner::Outcome outcome, const QString& detail) {
                               captured(path, outcome, detail);
                           });
}

void TextCapture::captured(const QString& path, CaptureRunner::Outcome outcome,
                           const QString& detail) {
    switch (outcome) {
    case CaptureRunner::Outcome::written:
        helper_.read(path, [this](const OcrAnswer& answer) { read(answer); });
        return;
    case CaptureRunner::Outcome::noFile:
        return finish({TextCaptureResult::Kind::cancelled, {}, {}});
    case CaptureRunner::Outcome::copied:
    case CaptureRunner::Outcome::unreadable:
    case CaptureRunner::Outcome::failed:
    case CaptureRunner::Outcome::toolNotStarted:
        return finish({TextCaptureResult::Kind::failed, {}, detail});
    }
}

void TextCapture::read(const OcrAnswer& answer) {
    if (!answer.text)
        return finish({TextCaptureResult::Kind::failed, {}, answer.error});
    const QString text = answer.text->trimmed();
    if (text.isEmpty())
        return finish({TextCaptureResult::Kind::noText, {}, {}});
    // Plain UTF-8 text, lines kept: what any text field takes.
    QGuiApplication::clipboard()->setText(text);
    finish({TextCaptureResult::Kind::copied, text, {}});
}

void TextCapture::finish(const TextCaptureResult& result) {
    folder_.reset();
    Q_EMIT finished(result);
}
