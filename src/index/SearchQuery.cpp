#include "SearchQuery.h"

#include <algorithm>

namespace {

// A term once, whatever the case of its ASCII letters, as LIKE would see it.
QString asciiFolded(const QString& term) {
    QString folded = term;
    for (QChar& c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

void addTerm(QStringList& terms, QStringList& seen, const QString& term) {
    if (term.isEmpty() || seen.contains(asciiFolded(term)))
        return;
    seen.append(asciiFolded(term));
    terms.append(term);
}

} // namespace

SearchQuery SearchQuery::parse(const QString& typed) {
    SearchQuery query;
    QStringList seen;
    QString current;
    bool inPhrase = false;
    for (const QChar c : typed) {
        if (c == u'"') {
            addTerm(query.terms, seen, current);
            current.clear();
            inPhrase = !inPhrase;
            continue;
        }
        query.whole += c;
        if (!inPhrase && c.isSpace()) {
            addTerm(query.terms, seen, current);
            current.clear();
        } else {
            current += c;
        }
    }
    addTerm(query.terms, seen, current);
    query.whole = query.whole.trimmed();
    // The longest first: it rules out the most texts, so the others are
    // looked for in few.
    std::stable_sort(query.terms.begin(), query.terms.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return query;
}

QByteArray likePatterns(const QStringList& terms) {
    QByteArray patterns;
    for (const QString& term : terms) {
        QByteArray pattern = (u'%' + term + u'%').toUtf8();
        const qsizetype nul = pattern.indexOf('\0');
        if (nul >= 0)
            pattern.truncate(nul);
        patterns += pattern + '\0';
    }
    return patterns;
}
