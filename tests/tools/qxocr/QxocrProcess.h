#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The real qxocr from the build, run once over some input.
namespace QxocrProcess {

QString program();

struct Run {
    QByteArray output;
    QByteArray errors; // standard error
    int exitCode = -1;
    bool exitedNormally = false;
    QList<QJsonObject> lines; // every output line, parsed

    // The line answering `path`; empty when there is none.
    QJsonObject lineFor(const QString& path) const;
};

// Writes `input` to the helper's standard input, closes it and reads to the end.
Run run(const QByteArray& input,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
// The paths, one per line, each ended by a line feed, as the indexer sends them.
Run run(const QStringList& paths);

} // namespace QxocrProcess
