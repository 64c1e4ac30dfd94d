#include "ShotJson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace ShotJson {

namespace {

// QJsonObject would sort the keys; a one-element array lets Qt do the escaping
// while the fields keep their documented order.
QByteArray encode(const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QJsonValue optionalText(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QByteArray matchName(ShotMatch match) {
    switch (match) {
    case ShotMatch::exact:
        return "exact";
    case ShotMatch::words:
        return "words";
    case ShotMatch::near:
        return "near";
    }
    return "exact";
}

} // namespace

QByteArray line(const Shot& shot, bool searched, const QList<QRect>& boxes) {
    QByteArray line = "{\"id\":" + QByteArray::number(shot.id) + ",\"path\":" + encode(shot.path) +
                      ",\"filename\":" + encode(shot.filename) +
                      ",\"takenAt\":" + encode(optionalText(shot.takenAt)) +
                      ",\"ocrText\":" + encode(optionalText(shot.ocrText));
    if (!searched)
        return line + "}";
    line += ",\"match\":\"" + matchName(shot.match) + "\",\"boxes\":[";
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const QRect& box = boxes[i];
        line += (i ? ",{\"x\":" : "{\"x\":") + QByteArray::number(box.x()) +
                ",\"y\":" + QByteArray::number(box.y()) +
                ",\"w\":" + QByteArray::number(box.width()) +
                ",\"h\":" + QByteArray::number(box.height()) + "}";
    }
    return line + "]}";
}

} // namespace ShotJson
