#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when it goes out of scope. Statements are
// prepared for a single use and never cached.
class SqliteStatement {
public:
    static std::optional<SqliteStatement> prepare(sqlite3* db, const char* sql);

    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    // Text is bound NUL-terminated and copied by SQLite: it ends at its first NUL.
    void bindText(int index, const QString& text);
    void bindText(int index, const char* utf8);
    void bindBlob(int index, const QByteArray& bytes);
    void bindInt64(int index, qint64 value);
    void bindInt(int index, int value);

    // True while a row is ready; any other result (done, busy, error) ends the
    // loop, and failed() then tells an error from the end of the rows.
    bool step();
    // Runs a statement that returns no rows; true once it ran to its end.
    bool run();
    // Whether the last step ended in an error rather than a row or the end.
    bool failed() const;
    // Whether the last step ran the statement to its end.
    bool done() const;

    qint64 columnInt64(int column) const;
    std::optional<QString> columnText(int column) const;
    // The raw UTF-8 bytes; empty for NULL. Valid until the next step.
    std::string_view columnUtf8(int column) const;

private:
    explicit SqliteStatement(sqlite3_stmt* statement)
        : statement_(statement) {}
    sqlite3_stmt* statement_ = nullptr;
    int lastResult_ = 0;
};
