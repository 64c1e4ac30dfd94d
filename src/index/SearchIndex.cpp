#include "SearchIndex.h"

#include "SearchPlan.h"
#include "SearchSql.h"

#include <QByteArray>

#include <algorithm>
#include <climits>
#include <vector>

namespace SearchIndex {

namespace {

constexpr qint64 everyRow = LLONG_MAX;

std::optional<qint64> readInt(SqliteConnection& db, const char* sql,
                              std::optional<qint64> parameter = std::nullopt) {
    auto statement = db.prepare(sql);
    if (!statement)
        return std::nullopt;
    if (parameter)
        statement->bindInt64(1, *parameter);
    if (!statement->step())
        return std::nullopt;
    return statement->columnInt64(0);
}

// For statements with row ids written into their text: integers need no quoting.
bool exec(SqliteConnection& db, const QString& sql) {
    return db.exec(sql.toLatin1().constData());
}

// Runs `work` in one write transaction; nothing of it stays when any step fails.
template <typename Work>
auto inTransaction(SqliteConnection& db, Work work) -> decltype(work()) {
    if (!db.exec(SearchSql::begin))
        return {};
    auto result = work();
    if (!result || !db.exec(SearchSql::commit)) {
        db.exec(SearchSql::rollback);
        return {};
    }
    return result;
}

struct Query {
    QByteArray match;
    QByteArray patterns;
};

struct Ran {
    int rows = 0;
    bool finished = false;
};

enum class Outcome { plainSearchNeeded, answered, failed };

// A statement that failed before it handed a row leaves the search to the plain
// query; one that failed after has spoilt the answer.
Outcome outcomeOf(const Ran& ran) {
    if (ran.finished)
        return Outcome::answered;
    return ran.rows > 0 ? Outcome::failed : Outcome::plainSearchNeeded;
}

// One of the search statements, bound the one way they all share: ?1 the index
// query, ?2 the LIKE patterns, ?3 the limit, ?4 the window's start or NULL.
Ran run(SqliteConnection& db, const char* sql, const Query& query, int limit,
        std::optional<qint64> windowStart, const RowSink& row) {
    Ran ran;
    auto statement = db.prepare(sql);
    if (!statement)
        return ran;
    statement->bindText(1, query.match.constData());
    statement->bindBlob(2, query.patterns);
    statement->bindInt(3, limit);
    if (windowStart)
        statement->bindInt64(4, *windowStart);
    while (statement->step()) {
        row(*statement);
        ++ran.rows;
    }
    ran.finished = statement->done();
    return ran;
}

// The route chosen, and for Route::candidates the index's candidates as a
// JSON array, so that the index is not asked twice.
struct Choice {
    Route route;
    QByteArray candidateIds;
};

// Asks the index for a bounded number of candidates, the newest first. Few: read
// them all. Many and dense where the plain scan starts: it fills the limit within
// the window. Many but sparse: walk, reading only the candidates' text.
std::optional<Choice> choose(SqliteConnection& db, const QByteArray& match, int limit,
                             const SearchLimits& limits) {
    auto statement = db.prepare(SearchSql::newestCandidates);
    if (!statement)
        return std::nullopt;
    statement->bindText(1, match.constData());
    statement->bindInt(2, limits.maxCandidates + 1);
    std::vector<qint64> ids;
    while (statement->step())
        ids.push_back(statement->columnInt64(0));
    if (!statement->done())
        return std::nullopt;
    if (ids.size() <= std::size_t(limits.maxCandidates)) {
        QByteArray json = "[";
        for (std::size_t i = 0; i < ids.size(); ++i)
            json += (i ? "," : "") + QByteArray::number(ids[i]);
        return Choice{Route::candidates, json + ']'};
    }
    const double density = double(ids.size()) / double(ids.front() - ids.back() + 1);
    const double wanted = limit < 0 ? double(INT_MAX) : double(limit);
    // Half the window is expected to hold the limit, so a low estimate rarely
    // leaves the window short.
    return Choice{2 * wanted / density <= double(limits.windowRows) ? Route::window : Route::walk,
                  {}};
}

// The plain scan over the newest rows, then the walk over the rest if the window
// held too few matches. A window that fails part way ends the search there, and
// the search reports the failure, as a failing plain scan does.
Outcome searchWindow(SqliteConnection& db, const Query& query, int limit, const RowSink& row,
                     int windowRows) {
    auto start = db.prepare(SearchSql::windowStart);
    if (!start)
        return Outcome::plainSearchNeeded;
    start->bindInt(1, std::max(windowRows, 1) - 1);
    // A table smaller than the window: the plain scan reads no more than the window.
    if (!start->step())
        return Outcome::plainSearchNeeded;
    if (!start->columnText(0))
        return outcomeOf(run(db, SearchSql::searchWalk, query, limit, std::nullopt, row));
    const qint64 windowStart = start->columnInt64(0);
    const Ran window = run(db, SearchSql::searchWindow, query, limit, windowStart, row);
    if (!window.finished || (limit >= 0 && window.rows >= limit))
        return outcomeOf(window);
    const Ran rest = run(db, SearchSql::searchWalk, query, limit < 0 ? limit : limit - window.rows,
                         windowStart, row);
    return rest.finished ? Outcome::answered : Outcome::failed;
}

} // namespace

bool install(SqliteConnection& db) {
    const std::optional<qint64> present = readInt(db, SearchSql::countObjects);
    const std::optional<qint64> older = readInt(db, SearchSql::countOlderObjects);
    if (!present || !older)
        return false;
    if (*present == SearchSql::objectCount)
        return true;
    // An older build's index holds the right grams; only its triggers, which
    // needed our tokenizer, give way to the log.
    if (*older == SearchSql::olderObjectCount)
        return inTransaction(db, [&db] {
            return db.exec(SearchSql::dropOlderTriggers) && db.exec(SearchSql::changeLog);
        });
    return inTransaction(db, [&db] {
        return db.exec(SearchSql::dropAll) && db.exec(SearchSql::schema) &&
               db.exec(SearchSql::changeLog);
    });
}

bool fold(SqliteConnection& db) {
    const std::optional<qint64> logged = readInt(db, SearchSql::anyLogged);
    if (!logged)
        return false;
    if (*logged == 0)
        return true;
    return inTransaction(db, [&db] {
        return db.exec(SearchSql::foldForget) && db.exec(SearchSql::foldTakeIn) &&
               db.exec(SearchSql::foldClear);
    });
}

int Progress::percent() const {
    if (complete || lastId <= 0)
        return 100;
    return int(std::clamp<qint64>(indexedUpTo * 100 / lastId, 0, 100));
}

std::optional<Progress> progress(SqliteConnection& db) {
    const std::optional<qint64> upto = readInt(db, SearchSql::indexedUpto);
    const std::optional<qint64> last = readInt(db, SearchSql::lastId);
    if (!upto || !last)
        return std::nullopt;
    return Progress{*upto, *last, *upto == everyRow};
}

std::optional<bool> buildBatch(SqliteConnection& db, int rows) {
    return inTransaction(db, [&db, rows]() -> std::optional<bool> {
        // Read inside the transaction: nothing can move the mark meanwhile.
        const std::optional<qint64> upto = readInt(db, SearchSql::indexedUpto);
        if (!upto)
            return std::nullopt;
        if (*upto == everyRow)
            return true;
        auto end = db.prepare(SearchSql::batchEnd);
        if (!end)
            return std::nullopt;
        end->bindInt64(1, *upto);
        end->bindInt(2, std::max(rows, 1));
        if (!end->step())
            return std::nullopt;
        bool more = false;
        qint64 mark = everyRow;
        if (end->columnText(0)) {
            mark = end->columnInt64(0);
            if (!exec(db, QString::fromLatin1(SearchSql::indexBatch).arg(*upto).arg(mark)) ||
                !exec(db, QString::fromLatin1(SearchSql::forgetBatchLog).arg(*upto).arg(mark)))
                return std::nullopt;
            const std::optional<qint64> above = readInt(db, SearchSql::anyRowAbove, mark);
            if (!above)
                return std::nullopt;
            more = *above != 0;
        }
        // Marking the last batch "every row" in the same transaction leaves no gap
        // for an insert between this batch and the next.
        if (!exec(db, QString::fromLatin1(SearchSql::markIndexed).arg(more ? mark : everyRow)))
            return std::nullopt;
        return !more;
    });
}

bool search(SqliteConnection& db, const QByteArray& likePatterns, int limit, const RowSink& row,
            Route route, SearchLimits limits, std::optional<IndexFailure>* failure) {
    const SearchPlan plan = SearchPlan::forPatterns(likePatterns);
    if (!plan.narrows())
        return false;
    // One read transaction: the mark, the look at the candidates and the window's
    // two parts all see the same rows, whatever the indexer commits meanwhile.
    const bool inTransaction = db.exec(SearchSql::beginRead);
    const Outcome outcome = [&] {
        if (readInt(db, SearchSql::indexedUpto) != everyRow)
            return Outcome::plainSearchNeeded;
        const Query query{plan.matchExpression(), plan.patterns};
        if (route == Route::automatic) {
            const std::optional<Choice> chosen = choose(db, query.match, limit, limits);
            if (!chosen)
                return Outcome::plainSearchNeeded;
            route = chosen->route;
            if (route == Route::candidates)
                return outcomeOf(run(db, SearchSql::searchKnownCandidates,
                                     Query{chosen->candidateIds, plan.patterns}, limit,
                                     std::nullopt, row));
        }
        if (route == Route::window)
            return searchWindow(db, query, limit, row, limits.windowRows);
        return outcomeOf(
            run(db, route == Route::walk ? SearchSql::searchWalk : SearchSql::searchCandidates,
                query, limit, std::nullopt, row));
    }();
    // Taken before the transaction ends, which would replace SQLite's message.
    if (outcome == Outcome::failed && failure)
        *failure = IndexFailure::reading(db);
    if (inTransaction && !db.exec(SearchSql::commit))
        db.exec(SearchSql::rollback);
    return outcome != Outcome::plainSearchNeeded;
}

bool searchNear(SqliteConnection& db, const QByteArray& expression, const QByteArray& terms,
                int candidates, int limit, const RowSink& row) {
    if (expression.isEmpty())
        return false;
    const bool inTransaction = db.exec(SearchSql::beginRead);
    const bool answered = [&] {
        if (readInt(db, SearchSql::indexedUpto) != everyRow)
            return false;
        auto statement = db.prepare(SearchSql::searchNear);
        if (!statement)
            return false;
        statement->bindText(1, expression.constData());
        statement->bindInt(2, candidates);
        statement->bindBlob(3, terms);
        statement->bindInt(4, limit);
        int rows = 0;
        while (statement->step()) {
            row(*statement);
            ++rows;
        }
        return statement->done() || rows > 0;
    }();
    if (inTransaction && !db.exec(SearchSql::commit))
        db.exec(SearchSql::rollback);
    return answered;
}

} // namespace SearchIndex
