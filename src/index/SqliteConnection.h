#pragma once

#include "SqliteStatement.h"

#include <QString>

#include <optional>

// One SQLite connection, closed when it goes out of scope.
class SqliteConnection {
public:
    // Read-write, creating the file when it is missing. `error` receives
    // SQLite's message when the open fails.
    static std::optional<SqliteConnection> openReadWrite(const QString& path, int busyTimeoutMs,
                                                         QString* error = nullptr);
    // Read-only; never creates the file.
    static std::optional<SqliteConnection> openReadOnly(const QString& path, int busyTimeoutMs,
                                                        QString* error = nullptr);

    SqliteConnection(SqliteConnection&& other) noexcept;
    SqliteConnection& operator=(SqliteConnection&& other) noexcept;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection();

    // Runs one or more statements; false when any of them failed.
    bool exec(const char* sql);
    std::optional<SqliteStatement> prepare(const char* sql);

    // The primary result code and the message of the last call that failed.
    int errorCode() const;
    QString errorMessage() const;
    // Rows the last finished INSERT, UPDATE or DELETE changed.
    qint64 changes() const;
    // Whether a transaction is open (SQLite ends some by itself when a write fails).
    bool inTransaction() const;

private:
    static std::optional<SqliteConnection> open(const QString& path, int flags, int busyTimeoutMs,
                                                QString* error);
    explicit SqliteConnection(sqlite3* db)
        : db_(db) {}
    sqlite3* db_ = nullptr;
};
