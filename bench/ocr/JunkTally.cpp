#include "JunkTally.h"

#include "RecallTally.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

// A word without the punctuation that clings to it ("(S)" stays, "Open…" is "Open").
QString bare(const QString& word) {
    qsizetype from = 0, to = word.size();
    while (from < to && !word[from].isLetterOrNumber())
        ++from;
    while (to > from && !word[to - 1].isLetterOrNumber())
        --to;
    return word.mid(from, to - from).toCaseFolded();
}

QSet<QString> wordsOf(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    const QStringList parts = text.toCaseFolded().split(separators, Qt::SkipEmptyParts);
    return QSet<QString>(parts.cbegin(), parts.cend());
}

// Whether some piece of `text` as long as `word` is at most a third of its
// letters (one at least) away from it, counting substitutions only: the
// misreadings of a recogniser keep a word's length more often than not.
bool nearSomePiece(const QString& word, const QString& text) {
    const qsizetype allowed = std::max<qsizetype>(1, word.size() / 3);
    for (qsizetype at = 0; at + word.size() <= text.size(); ++at) {
        qsizetype differences = 0;
        for (qsizetype i = 0; i < word.size() && differences <= allowed; ++i)
            differences += word[i] != text[at + i];
        if (differences <= allowed)
            return true;
    }
    return false;
}

} // namespace

void JunkTally::add(const QString& text, const QString& transcription) {
    const QString folded = transcription.toCaseFolded();
    QString unspaced = folded;
    unspaced.remove(u' ');
    const QSet<QString> shownWords = wordsOf(transcription);
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const QString core = bare(word);
        if (core.isEmpty())
            continue;
        ++words;
        const bool latin = RecallTally::languageOf(core) == u"en";
        const bool shown = latin && core.size() <= 2
                               ? shownWords.contains(core)
                               : folded.contains(core) || unspaced.contains(core);
        if (!shown) {
            ++junk;
            if (core.size() > 2 && (nearSomePiece(core, folded) || nearSomePiece(core, unspaced)))
                ++misread;
        }
    }
}

void JunkTally::add(const JunkTally& other) {
    junk += other.junk;
    words += other.words;
    misread += other.misread;
}

QHash<QString, QString> JunkTally::load(const QString& file) {
    QFile input(file);
    QHash<QString, QString> texts;
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        return texts;
    while (!input.atEnd()) {
        const QString line = QString::fromUtf8(input.readLine()).chopped(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QString& text = texts[line.section(u'\t', 0, 0)];
        if (!text.isEmpty())
            text += u'\n';
        text += line.section(u'\t', 1);
    }
    return texts;
}
