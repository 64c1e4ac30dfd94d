#include "ResultLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ResultLine {

namespace {

QByteArray line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QByteArray success(const QString& path, const RecognizedPage& page) {
    QJsonArray words;
    for (const WordBox& word : page.words)
        words.append(
            QJsonArray{word.box.x(), word.box.y(), word.box.width(), word.box.height(), word.text});
    return line({{QStringLiteral("path"), path},
                 {QStringLiteral("text"), page.text},
                 {QStringLiteral("words"), words}});
}

QByteArray failure(const QString& path, const QString& reason) {
    return line({{QStringLiteral("path"), path}, {QStringLiteral("error"), reason}});
}

} // namespace ResultLine
