#include "ShotWords.h"

#include "NearMatch.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace ShotWords {

namespace {

// Pieces shorter than this (a lone letter between wildcards) would mark
// every word that holds the letter.
constexpr int shortestPiece = 2;

// What a run of words must hold for one searched term: each literal piece
// between its wildcards, spaces left out, since recognition splits words
// where the screen had none (and the reverse), and a phrase stands as
// separate words in the picture; the whole term also near, where it may be.
struct Wanted {
    QString piece;
    std::u32string near;
};

QList<Wanted> wantedOf(const QStringList& terms) {
    QList<Wanted> wanted;
    for (const QString& term : terms) {
        const QStringList pieces =
            term.split(QRegularExpression(QStringLiteral("[%_\\\\]+")), Qt::SkipEmptyParts);
        for (QString piece : pieces) {
            piece.remove(QRegularExpression(QStringLiteral("\\s+")));
            if (piece.size() < shortestPiece && term.size() >= shortestPiece)
                continue;
            const bool mayBeNear = pieces.size() == 1 && NearMatch::eligible(term);
            wanted.append({piece, mayBeNear ? NearMatch::normalized(piece) : std::u32string()});
        }
    }
    return wanted;
}

bool holds(const QString& run, const Wanted& wanted) {
    if (run.contains(wanted.piece, Qt::CaseInsensitive))
        return true;
    return !wanted.near.empty() && NearMatch::holdsNear(run.toStdString(), wanted.near);
}

// Whether `next` stands on the line of `word`: its middle within its height.
bool sameLine(const QRect& word, const QRect& next) {
    const int middle = next.center().y();
    return middle >= word.top() && middle <= word.bottom();
}

// Marks the shortest runs of words on a line, from `first` on, that hold
// what is wanted; a run is as long as the piece at most (one letter a word),
// and one more for a letter a near match puts in.
void markRunsFrom(const QList<ShotWord>& words, qsizetype first, const Wanted& wanted,
                  QList<bool>& marked) {
    const qsizetype longest = wanted.piece.size() + (wanted.near.empty() ? 0 : 1);
    QString run;
    for (qsizetype last = first; last < words.size() && last - first < longest; ++last) {
        if (last > first && !sameLine(words[last - 1].box, words[last].box))
            return;
        run += words[last].text;
        if (!holds(run, wanted))
            continue;
        if (holds(run.mid(words[first].text.size()), wanted))
            return; // the run holds it without its first word: a later start marks it
        for (qsizetype index = first; index <= last; ++index)
            marked[index] = true;
        return;
    }
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
    const QList<Wanted> wanted = wantedOf(terms);
    QList<bool> marked(words.size(), false);
    for (qsizetype first = 0; first < words.size(); ++first) {
        for (const Wanted& one : wanted)
            markRunsFrom(words, first, one, marked);
    }
    QList<ShotWord> hits;
    for (qsizetype index = 0; index < words.size(); ++index) {
        if (marked[index])
            hits.append(words[index]);
    }
    return hits;
}

} // namespace ShotWords
