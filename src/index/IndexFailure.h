#pragma once

#include <QMetaType>
#include <QString>

class SqliteConnection;

// Why the shot database could not be used for what was asked.
struct IndexFailure {
    enum class Kind {
        notOurs,     // not a SQLite database, or one whose table `shots` is not Glimber's
        busy,        // another connection held its lock for longer than the busy timeout
        writeFailed, // full disk, read-only file, I/O error, ...
        readFailed,
    };

    Kind kind = Kind::readFailed;
    QString detail; // SQLite's message, or what the file lacks

    // From the connection's last error: a lock is `busy`, a file that is not a
    // database is `notOurs`, anything else is `otherwise`.
    static IndexFailure fromConnection(const SqliteConnection& db, Kind otherwise);
    static IndexFailure writing(const SqliteConnection& db) {
        return fromConnection(db, Kind::writeFailed);
    }
    static IndexFailure reading(const SqliteConnection& db) {
        return fromConnection(db, Kind::readFailed);
    }

    friend bool operator==(const IndexFailure&, const IndexFailure&) = default;
};

Q_DECLARE_METATYPE(IndexFailure)
