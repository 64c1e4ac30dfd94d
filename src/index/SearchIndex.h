#pragma once

#include "IndexFailure.h"
#include "SqliteConnection.h"

#include <QString>

#include <functional>
#include <optional>

// The search index of the shot database: which rows' text holds which short
// runs of characters, so a search reads the text of the few rows that can match
// instead of every row's. It only ever narrows: LIKE still decides every row,
// so results are those of the plain query, row for row.
namespace SearchIndex {

// Creates the index beside table `shots` unless it is there, with nothing in it
// yet: the rows already present are indexed later, batch by batch. An older
// build's index keeps what it holds and gets the change log in place of its
// triggers. A half-made index (a crash between two of its objects cannot leave
// one, a hand-made change can) is made anew. False when the index could not be
// made.
bool install(SqliteConnection& db);

struct Progress {
    qint64 indexedUpTo = 0; // the rows up to this id are in
    qint64 lastId = 0;      // the highest id in table `shots`
    bool complete = false;

    // Share of the rows in the index, 0 to 100, by id: cheap, and close enough
    // to tell a person how far the build has come.
    int percent() const;
};

// Takes the rows changed since the last fold into the index, in one
// transaction. Until then searches read those rows one by one, so the index
// stays right whoever changed them; folding keeps that list short. False when
// the fold failed and was rolled back.
bool fold(SqliteConnection& db);

// How far the index is built; nothing when the file has no index.
std::optional<Progress> progress(SqliteConnection& db);

// Indexes the next `rows` rows above the mark in one transaction. True once every
// row is in; nothing when the batch failed and was rolled back.
std::optional<bool> buildBatch(SqliteConnection& db, int rows);

// The thresholds between the ways a search can go. Tests make them small, so a
// small database takes every way.
struct SearchLimits {
    // Up to this many candidates are read one by one and sorted.
    int maxCandidates = 1000;
    // Where matches look dense, the plain scan over this many of the newest rows
    // comes first; it fills the limit there for common words.
    int windowRows = 2000;
};

enum class Route {
    automatic,  // whichever is cheapest for this search
    candidates, // read every row the index names, then sort
    walk,       // walk the rows newest first, reading only those the index names
    window,     // the plain scan over the newest rows, then a walk over the rest
};

// Receives the result rows: the plain search's columns id, path, filename,
// taken_at, ocr_text.
using RowSink = std::function<void(const SqliteStatement& row)>;

// Runs a search for texts that match all of `likePatterns` (as likePatterns()
// makes them) through the index, handing `row` the rows the plain search would
// give, in its order. False, with no row handed, when the plain search must
// answer: the index is not complete, or the patterns have no piece the index
// holds. A search that fails after handing rows is still answered (true), with
// `failure` set, so the caller never takes the rows handed so far for the
// whole result.
bool search(SqliteConnection& db, const QByteArray& likePatterns, int limit, const RowSink& row,
            Route route = Route::automatic, SearchLimits limits = {},
            std::optional<IndexFailure>* failure = nullptr);

// Near matches (NearMatch) through the index: among the newest `candidates`
// rows that hold a half of the word `expression` stands for, those that
// glimber_near() takes with `terms`, newest first. False when the index is
// not complete or the statement failed before it handed a row.
bool searchNear(SqliteConnection& db, const QByteArray& expression, const QByteArray& terms,
                int candidates, int limit, const RowSink& row);

} // namespace SearchIndex
