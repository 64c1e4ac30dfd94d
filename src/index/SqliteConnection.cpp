#include "SqliteConnection.h"

#include "GramTokenizer.h"
#include "SearchFunctions.h"

#include <sqlite3.h>
#include <utility>

std::optional<SqliteConnection> SqliteConnection::open(const QString& path, int flags,
                                                       int busyTimeoutMs, QString* error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(SQLITE_NOMEM));
        // A failed open may still hand back a handle that holds the error; it must be closed.
        sqlite3_close(db);
        return std::nullopt;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    // Searches ask the index, whose tokenizer is ours, and test texts with a
    // function of ours; an older build's triggers tokenized on every write, so
    // every connection carries both, whatever it is opened for.
    GramTokenizer::registerWith(db);
    SearchFunctions::registerWith(db);
    return SqliteConnection(db);
}

std::optional<SqliteConnection> SqliteConnection::openReadWrite(const QString& path,
                                                                int busyTimeoutMs, QString* error) {
    return open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, busyTimeoutMs, error);
}

std::optional<SqliteConnection> SqliteConnection::openReadOnly(const QString& path,
                                                               int busyTimeoutMs, QString* error) {
    return open(path, SQLITE_OPEN_READONLY, busyTimeoutMs, error);
}

SqliteConnection::SqliteConnection(SqliteConnection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)) {}

SqliteConnection& SqliteConnection::operator=(SqliteConnection&& other) noexcept {
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

SqliteConnection::~SqliteConnection() {
    // Every statement is finalized by its own scope before this runs, so close
    // cannot be refused for unfinalized statements.
    sqlite3_close(db_);
}

bool SqliteConnection::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<SqliteStatement> SqliteConnection::prepare(const char* sql) {
    return SqliteStatement::prepare(db_, sql);
}

int SqliteConnection::errorCode() const {
    return sqlite3_errcode(db_) & 0xff;
}

QString SqliteConnection::errorMessage() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

qint64 SqliteConnection::changes() const {
    return sqlite3_changes64(db_);
}

bool SqliteConnection::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}
