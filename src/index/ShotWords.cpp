#include "ShotWords.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace ShotWords {

namespace {

// Pieces of a word shorter than this (a letter of a phrase, "a") would mark
// words that merely share it.
constexpr int shortestPart = 2;

// The literal pieces of a search term, its wildcards taken out.
QStringList literalPieces(const QString& term) {
    QStringList pieces;
    for (const QString& piece :
         term.split(QRegularExpression(QStringLiteral("[%_\\\\s]+")), Qt::SkipEmptyParts)) {
        if (piece.size() >= shortestPart || term.size() < shortestPart)
            pieces.append(piece);
    }
    return pieces;
}

bool found(const QString& word, const QStringList& pieces) {
    for (const QString& piece : pieces) {
        if (word.contains(piece, Qt::CaseInsensitive) ||
            (word.size() >= shortestPart && piece.contains(word, Qt::CaseInsensitive)))
            return true;
    }
    return false;
}

} // namespace

Stamp stampOf(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {file.size(), file.lastModified().toMSecsSinceEpoch()};
}

std::optional<QList<ShotWord>> parse(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isArray())
        return std::nullopt;
    QList<ShotWord> words;
    for (const QJsonValue value : document.array()) {
        const QJsonArray word = value.toArray();
        if (word.size() != 5 || !word[4].isString())
            return std::nullopt;
        const QRect box(word[0].toInt(), word[1].toInt(), word[2].toInt(), word[3].toInt());
        if (box.isEmpty())
            continue;
        words.append({word[4].toString(), box});
    }
    return words;
}

QByteArray toJson(const QList<ShotWord>& words) {
    QJsonArray array;
    for (const ShotWord& word : words)
        array.append(
            QJsonArray{word.box.x(), word.box.y(), word.box.width(), word.box.height(), word.text});
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<ShotWord> matching(const QList<ShotWord>& words, const QStringList& terms) {
    QStringList pieces;
    for (const QString& term : terms)
        pieces += literalPieces(term);
    QList<ShotWord> hits;
    for (const ShotWord& word : words) {
        if (found(word.text, pieces))
            hits.append(word);
    }
    return hits;
}

} // namespace ShotWords
