#pragma once

#include "SqliteStatement.h"

#include <QString>

#include <optional>

// One SQLite connection, closed when it goes out of scope.
class SqliteConnection {
public:
    // Read-write, creating the file when it is missing.
    static std::optional<SqliteConnection> openReadWrite(const QString& path, int busyTimeoutMs);
    // Read-only; never creates the file.
    static std::optional<SqliteConnection> openReadOnly(const QString& path, int busyTimeoutMs);

    SqliteConnection(SqliteConnection&& other) noexcept;
    SqliteConnection& operator=(SqliteConnection&& other) noexcept;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection();

    // Runs one or more statements; false when any of them failed.
    bool exec(const char* sql);
    std::optional<SqliteStatement> prepare(const char* sql);

private:
    static std::optional<SqliteConnection> open(const QString& path, int flags, int busyTimeoutMs);
    explicit SqliteConnection(sqlite3* db)
        : db_(db) {}
    sqlite3* db_ = nullptr;
};
