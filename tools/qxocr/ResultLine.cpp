#include "ResultLine.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace ResultLine {

namespace {

QByteArray line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QByteArray success(const QString& path, const QString& text) {
    return line({{QStringLiteral("path"), path}, {QStringLiteral("text"), text}});
}

QByteArray failure(const QString& path, const QString& reason) {
    return line({{QStringLiteral("path"), path}, {QStringLiteral("error"), reason}});
}

} // namespace ResultLine
