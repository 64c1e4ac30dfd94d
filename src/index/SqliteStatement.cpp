#include "SqliteStatement.h"

#include <sqlite3.h>
#include <utility>

std::optional<SqliteStatement> SqliteStatement::prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK || statement == nullptr) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    return SqliteStatement(statement);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr))
    , lastResult_(other.lastResult_) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        statement_ = std::exchange(other.statement_, nullptr);
        lastResult_ = other.lastResult_;
    }
    return *this;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::bindText(int index, const QString& text) {
    bindText(index, text.toUtf8().constData());
}

void SqliteStatement::bindText(int index, const char* utf8) {
    sqlite3_bind_text(statement_, index, utf8, -1, SQLITE_TRANSIENT);
}

void SqliteStatement::bindBlob(int index, const QByteArray& bytes) {
    sqlite3_bind_blob(statement_, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindInt64(int index, qint64 value) {
    sqlite3_bind_int64(statement_, index, value);
}

void SqliteStatement::bindInt(int index, int value) {
    sqlite3_bind_int(statement_, index, value);
}

bool SqliteStatement::step() {
    lastResult_ = sqlite3_step(statement_);
    return lastResult_ == SQLITE_ROW;
}

bool SqliteStatement::run() {
    lastResult_ = sqlite3_step(statement_);
    return lastResult_ == SQLITE_DONE;
}

bool SqliteStatement::done() const {
    return lastResult_ == SQLITE_DONE;
}

bool SqliteStatement::failed() const {
    return lastResult_ != SQLITE_ROW && lastResult_ != SQLITE_DONE;
}

qint64 SqliteStatement::columnInt64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::optional<QString> SqliteStatement::columnText(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (text == nullptr)
        return std::nullopt;
    return QString::fromUtf8(reinterpret_cast<const char*>(text),
                             sqlite3_column_bytes(statement_, column));
}

std::string_view SqliteStatement::columnUtf8(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (text == nullptr)
        return {};
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}
