#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

// What the search index can contribute to one LIKE search. The pattern's literal
// pieces (the text between its "%" and "_" wildcards) must each occur in every
// matching text, and so must every gram of them: the index narrows the rows to
// those holding all the grams, and LIKE itself still decides.
struct SearchPlan {
    // The pattern exactly as the plain query binds it: UTF-8, ending at the first NUL.
    QByteArray pattern;
    // Index tokens every matching text contains; empty when the index cannot narrow.
    std::vector<std::string> grams;

    static SearchPlan forPattern(const QString& likePattern);

    bool narrows() const { return !grams.empty(); }
    // The FTS5 query: every gram, quoted, joined by AND.
    QByteArray matchExpression() const;
};
