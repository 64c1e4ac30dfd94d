#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

// What the search index can contribute to a search for texts that match every
// one of some LIKE patterns. The patterns' literal pieces (the text between
// their "%" and "_" wildcards) must each occur in every matching text, and so
// must every gram of them: the index narrows the rows to those holding all the
// grams, and LIKE itself still decides.
struct SearchPlan {
    // The patterns as likePatterns() gives them: UTF-8, each ending with a NUL.
    QByteArray patterns;
    // Index tokens every matching text contains; empty when the index cannot narrow.
    std::vector<std::string> grams;

    static SearchPlan forPatterns(const QByteArray& likePatterns);

    bool narrows() const { return !grams.empty(); }
    // The FTS5 query: every gram, quoted, joined by AND.
    QByteArray matchExpression() const;
};
