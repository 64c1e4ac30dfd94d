#include "ShotReader.h"

#include "NearMatch.h"
#include "SearchIndex.h"
#include "SearchQuery.h"
#include "ShotSchema.h"
#include "ShotSql.h"

#include <QFileInfo>

#include <unordered_set>

namespace {

Shot shotOf(const SqliteStatement& row, ShotMatch match) {
    return Shot{row.columnInt64(0),
                row.columnText(1).value_or(QString()),
                row.columnText(2).value_or(QString()),
                row.columnText(3),
                row.columnText(4),
                match};
}

// Near matches are looked for among this many of the newest rows that may
// hold one: a bound on the time a near search takes, whatever the query.
constexpr int nearCandidates = 1000;

bool full(const QList<Shot>& shots, int limit) {
    return limit >= 0 && shots.size() >= limit;
}

} // namespace

ShotReader::ShotReader(QString databasePath)
    : path_(std::move(databasePath)) {}

QList<Shot> ShotReader::recent(int limit) {
    return queryRecent(limit).shots;
}

QList<Shot> ShotReader::search(const QString& text, int limit) {
    return querySearch(text, limit).shots;
}

ShotQuery ShotReader::queryRecent(int limit) {
    const std::lock_guard lock(mutex_);
    if (std::optional<ShotQuery> unopened = open())
        return *unopened;
    auto statement = handle_->prepare(ShotSql::recent);
    if (!statement)
        return {{}, unanswered()};
    statement->bindInt(1, limit);
    return collect(*statement, ShotMatch::exact);
}

ShotQuery ShotReader::querySearch(const QString& text, int limit) {
    const SearchQuery query = SearchQuery::parse(text);
    if (query.terms.isEmpty())
        return {};
    const std::lock_guard lock(mutex_);
    if (std::optional<ShotQuery> unopened = open())
        return *unopened;
    // The text as typed first, then the texts that hold every word elsewhere.
    // The exact rows are among the newest `limit` rows with every word, so
    // those are enough to fill the list.
    ShotQuery found = searchFor(likePatterns({query.whole}), limit, ShotMatch::exact);
    if (found.failure || full(found.shots, limit))
        return found;
    if (query.hasWords()) {
        const ShotQuery words = searchFor(likePatterns(query.terms), limit, ShotMatch::words);
        appendNew(found, words, limit);
        if (found.failure || full(found.shots, limit))
            return found;
    }
    // Too few: a misread letter may hide the rest.
    if (std::any_of(query.terms.begin(), query.terms.end(), NearMatch::eligible))
        appendNew(found, searchNear(query.terms, limit), limit);
    return found;
}

void ShotReader::appendNew(ShotQuery& found, const ShotQuery& more, int limit) {
    std::unordered_set<qint64> listed;
    for (const Shot& shot : found.shots)
        listed.insert(shot.id);
    for (const Shot& shot : more.shots) {
        if (full(found.shots, limit))
            break;
        if (!listed.contains(shot.id))
            found.shots.append(shot);
    }
    found.failure = more.failure;
}

ShotQuery ShotReader::searchNear(const QStringList& terms, int limit) {
    QList<Shot> shots;
    const auto append = [&shots](const SqliteStatement& row) {
        shots.append(shotOf(row, ShotMatch::near));
    };
    const QByteArray encoded = NearMatch::termsForSql(terms);
    if (SearchIndex::searchNear(*handle_, NearMatch::candidateExpression(terms), encoded,
                                nearCandidates, limit, append))
        return {shots, std::nullopt};
    auto statement = handle_->prepare(ShotSql::searchNearNewest);
    if (!statement)
        return {{}, unanswered()};
    statement->bindInt(1, nearCandidates);
    statement->bindBlob(2, encoded);
    statement->bindInt(3, limit);
    return collect(*statement, ShotMatch::near);
}

std::optional<IndexedText> ShotReader::indexedText(const QString& path) {
    Shot shot;
    {
        const std::lock_guard lock(mutex_);
        if (open())
            return std::nullopt;
        auto select = handle_->prepare(ShotSql::selectReadText);
        if (!select)
            return std::nullopt;
        select->bindText(1, path);
        if (!select->step())
            return std::nullopt;
        const ShotWords::Stamp read{select->columnInt64(1), select->columnInt64(2)};
        if (ShotWords::stampOf(path) != read)
            return std::nullopt;
        shot.id = select->columnInt64(0);
        shot.path = path;
        shot.ocrText = select->columnText(3);
    }
    return IndexedText{shot.ocrText.value_or(QString()), words(shot)};
}

QList<ShotWord> ShotReader::words(const Shot& shot) {
    const std::lock_guard lock(mutex_);
    if (open())
        return {};
    auto select = handle_->prepare(ShotSql::selectWords);
    if (!select)
        return {};
    select->bindInt64(1, shot.id);
    if (!select->step())
        return {};
    const ShotWords::Stamp read{select->columnInt64(0), select->columnInt64(1)};
    if (ShotWords::stampOf(shot.path) != read)
        return {};
    return ShotWords::parse(select->columnText(2).value_or(QString()).toUtf8())
        .value_or(QList<ShotWord>());
}

std::optional<ShotQuery> ShotReader::open() {
    if (handle_)
        return std::nullopt;
    QString error;
    handle_ = SqliteConnection::openReadOnly(path_, ShotSql::readerBusyTimeoutMs, &error);
    if (handle_)
        return std::nullopt;
    // No file yet is no failure: nothing has been indexed.
    if (!QFileInfo::exists(path_))
        return ShotQuery{};
    return ShotQuery{{}, IndexFailure{IndexFailure::Kind::readFailed, error}};
}

// A statement that does not prepare: the file is busy, someone else's, or a
// new database that no indexer has filled yet.
std::optional<IndexFailure> ShotReader::unanswered() {
    const IndexFailure failure = IndexFailure::reading(*handle_);
    if (failure.kind != IndexFailure::Kind::readFailed)
        return failure;
    if (auto foreign = ShotSchema::check(*handle_))
        return foreign;
    if (ShotSchema::isEmpty(*handle_))
        return std::nullopt;
    return failure;
}

ShotQuery ShotReader::collect(SqliteStatement& statement, ShotMatch match) {
    QList<Shot> shots;
    while (statement.step())
        shots.append(shotOf(statement, match));
    if (statement.failed())
        return {shots, IndexFailure::reading(*handle_)};
    return {shots, std::nullopt};
}

ShotQuery ShotReader::searchFor(const QByteArray& patterns, int limit, ShotMatch match) {
    QList<Shot> shots;
    const auto append = [&shots, match](const SqliteStatement& row) {
        shots.append(shotOf(row, match));
    };
    // The search index gives the same rows when it can narrow the search down.
    std::optional<IndexFailure> indexFailure;
    if (SearchIndex::search(*handle_, patterns, limit, append, SearchIndex::Route::automatic, {},
                            &indexFailure))
        return {shots, indexFailure};
    auto statement = handle_->prepare(ShotSql::searchAll);
    if (!statement)
        return {{}, unanswered()};
    statement->bindBlob(1, patterns);
    statement->bindInt(2, limit);
    return collect(*statement, match);
}
