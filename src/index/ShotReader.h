#pragma once

#include "IndexFailure.h"
#include "Shot.h"
#include "ShotWords.h"
#include "SqliteConnection.h"

#include <QList>
#include <QString>

#include <mutex>
#include <optional>

// The answer to one query, or why there is none. A database that does not
// exist yet, or holds no table yet, answers with no shots and no failure.
struct ShotQuery {
    QList<Shot> shots;
    std::optional<IndexFailure> failure;
};

// What the index holds of one file's text.
struct IndexedText {
    QString text;
    QList<ShotWord> words; // empty when the helper told none
};

// A read-only view of one shot database. The connection opens on first use and
// stays open; an open that fails (no file yet) is tried again by the next query.
// Calls from several threads are served one after the other.
class ShotReader {
public:
    explicit ShotReader(QString databasePath);

    // The most recently modified shots first.
    QList<Shot> recent(int limit);
    // Shots whose text holds what `text` asks for (SearchQuery: ASCII
    // case-insensitive; "%" and "_" act as wildcards): those holding it as
    // typed, then those holding each of its words, then, while there are
    // fewer than the limit, those holding a long word one edit away
    // (NearMatch); the most recently modified first within each.
    QList<Shot> search(const QString& text, int limit);

    // The same, telling a busy or foreign database apart from an empty result.
    ShotQuery queryRecent(int limit);
    ShotQuery querySearch(const QString& text, int limit);

    // Where the words of a shot stand, as the helper read them; none when it
    // told none or the file changed since.
    QList<ShotWord> words(const Shot& shot);

    // The text of the file at `path` as the index read it, when the file has
    // not changed since; none for a file not indexed, not read yet, unreadable
    // or changed.
    std::optional<IndexedText> indexedText(const QString& path);

    const QString& databasePath() const { return path_; }

private:
    // Opens the connection unless it is open: the answer when it cannot be.
    std::optional<ShotQuery> open();
    std::optional<IndexFailure> unanswered();
    ShotQuery collect(SqliteStatement& statement, ShotMatch match);
    // Texts that match all of `patterns` (likePatterns()).
    ShotQuery searchFor(const QByteArray& patterns, int limit, ShotMatch match);
    // Texts that hold every term, as it is or, where it may be, one edit away.
    ShotQuery searchNear(const QStringList& terms, int limit);
    // Adds the shots of `more` not listed yet, up to the limit.
    static void appendNew(ShotQuery& found, const ShotQuery& more, int limit);

    QString path_;
    std::mutex mutex_;
    std::optional<SqliteConnection> handle_;
};
