#include "OcrRun.h"

#include "ExecutableLocation.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>

#include <algorithm>

namespace OcrRun {

QString defaultHelperPath() {
    return ExecutableLocation::directory() + QStringLiteral("/qxocr");
}

std::optional<QString> ocrBinaryURL(const QString& candidate) {
    if (!QFileInfo::exists(candidate))
        return std::nullopt;
    return candidate;
}

namespace {

QByteArray collectOutput(QProcess& helper, const HelperRun& run) {
    QByteArray output;
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        const int wait = std::max<int>(1, run.idleTimeoutMs - int(quiet.elapsed()));
        if (helper.waitForReadyRead(wait)) {
            const QByteArray chunk = helper.readAllStandardOutput();
            output += chunk;
            if (run.onLine) {
                for (qsizetype n = chunk.count('\n'); n > 0; --n)
                    run.onLine();
            }
            quiet.restart();
            continue;
        }
        if (helper.state() == QProcess::NotRunning)
            break;
        if (quiet.elapsed() >= run.idleTimeoutMs) {
            // A hung helper would otherwise hold the indexer's queue for good.
            helper.kill();
            break;
        }
    }
    helper.waitForFinished(-1);
    output += helper.readAllStandardOutput();
    return output;
}

bool isSpaceOrTab(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QStringView trimSpacesAndTabs(QStringView piece) {
    while (!piece.isEmpty() && isSpaceOrTab(piece.front()))
        piece = piece.sliced(1);
    while (!piece.isEmpty() && isSpaceOrTab(piece.back()))
        piece.chop(1);
    return piece;
}

// Splits at bare line feeds. A carriage return followed by a line feed is one
// character to a text reader and does not end a line, so the helper must use
// bare line feeds; a single CRLF-ended line still parses as JSON.
QList<QStringView> splitLines(const QString& output) {
    QList<QStringView> pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < output.size(); ++i) {
        if (output[i] != u'\n' || (i > 0 && output[i - 1] == u'\r'))
            continue;
        if (i > start)
            pieces.append(QStringView(output).sliced(start, i - start));
        start = i + 1;
    }
    if (start < output.size())
        pieces.append(QStringView(output).sliced(start));
    return pieces;
}

// The helper's "error" as a reason to show: its text, or the JSON it gave.
QString reason(const QJsonValue& error) {
    if (error.isString())
        return error.toString();
    if (error.isNull() || error.isUndefined())
        return QStringLiteral("no reason given");
    const QByteArray json = QJsonDocument(QJsonArray{error}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

QString runQxocr(const QString& helper, const QStringList& paths, const HelperRun& run) {
    QProcess process;
    process.setProgram(helper);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QIODevice::ReadWrite);
    if (!process.waitForStarted(-1))
        return {};
    process.write((paths.join(u'\n') + u'\n').toUtf8());
    process.closeWriteChannel();
    const QByteArray output = collectOutput(process, run);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(output);
    return decoder.hasError() ? QString() : text;
}

QHash<QString, std::optional<QString>> parseNdjson(const QString& output,
                                                   QHash<QString, QString>* errors,
                                                   QHash<QString, QByteArray>* words) {
    QHash<QString, std::optional<QString>> results;
    for (QStringView piece : splitLines(output)) {
        piece = trimSpacesAndTabs(piece);
        if (piece.isEmpty())
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(piece.toUtf8());
        if (!document.isObject())
            continue;
        const QJsonObject line = document.object();
        const QJsonValue path = line.value(QStringLiteral("path"));
        if (!path.isString())
            continue;
        if (line.contains(QStringLiteral("error"))) {
            results.insert(path.toString(), std::nullopt);
            if (errors)
                errors->insert(path.toString(), reason(line.value(QStringLiteral("error"))));
            continue;
        }
        const QJsonValue text = line.value(QStringLiteral("text"));
        results.insert(path.toString(), text.isString() ? text.toString() : QString());
        if (errors)
            errors->remove(path.toString());
        const QJsonValue boxes = line.value(QStringLiteral("words"));
        if (words && boxes.isArray())
            words->insert(path.toString(),
                          QJsonDocument(boxes.toArray()).toJson(QJsonDocument::Compact));
        else if (words)
            words->remove(path.toString());
    }
    return results;
}

} // namespace OcrRun
