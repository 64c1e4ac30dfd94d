#include "QxocrProcess.h"

#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

namespace QxocrProcess {

QString program() {
    return QStringLiteral(GLIMBER_BIN_DIR "/qxocr");
}

QJsonObject Run::lineFor(const QString& path) const {
    for (const QJsonObject& line : lines) {
        if (line.value(QStringLiteral("path")).toString() == path)
            return line;
    }
    return {};
}

Run run(const QByteArray& input, const QProcessEnvironment& environment) {
    QProcess helper;
    helper.setProgram(program());
    helper.setProcessEnvironment(environment);
    helper.start();
    EXPECT_TRUE(helper.waitForStarted());
    helper.write(input);
    helper.closeWriteChannel();
    EXPECT_TRUE(helper.waitForFinished(120'000));
    Run result;
    result.output = helper.readAllStandardOutput();
    result.errors = helper.readAllStandardError();
    result.exitCode = helper.exitCode();
    result.exitedNormally = helper.exitStatus() == QProcess::NormalExit;
    for (const QByteArray& line : result.output.split('\n')) {
        if (!line.isEmpty())
            result.lines.append(QJsonDocument::fromJson(line).object());
    }
    return result;
}

Run run(const QStringList& paths) {
    return run((paths.join(u'\n') + u'\n').toUtf8());
}

} // namespace QxocrProcess
