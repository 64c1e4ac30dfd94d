#pragma once

class SqliteConnection;

// One BEGIN ... COMMIT. What is not committed when the object goes is rolled
// back, so a write that failed halfway never leaves a transaction open behind it
// to swallow the writes of the next pass.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteConnection& db)
        : db_(db) {}
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    bool begin();
    // Only a transaction whose COMMIT succeeded has written anything.
    bool commit();

private:
    SqliteConnection& db_;
    bool open_ = false;
};
