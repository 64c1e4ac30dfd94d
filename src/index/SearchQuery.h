#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a person types to find a shot, in the library's field or after
// `qxc search`: words, which must all occur in a text, in any order, and
// "phrases" in double quotes, which occur as they are (a quote left open runs
// to the end). Each word and phrase is matched the way a whole search always
// was: a substring, ASCII letters in either case, "%" and "_" as wildcards.
struct SearchQuery {
    // What was typed, without its quotes: a text that holds it is the best match.
    QString whole;
    // The words and phrases, each once, the longest first.
    QStringList terms;

    static SearchQuery parse(const QString& typed);

    // Whether the words can find texts the whole does not: more than one term.
    bool hasWords() const { return terms.size() > 1; }
};

// The LIKE patterns of texts that hold each of `terms`, as the search
// statements take them: UTF-8, each ending with a NUL (and at its first NUL).
QByteArray likePatterns(const QStringList& terms);
