#include "SqliteTransaction.h"

#include "ShotSql.h"
#include "SqliteConnection.h"

SqliteTransaction::~SqliteTransaction() {
    if (open_ && db_.inTransaction())
        db_.exec(ShotSql::rollback);
}

bool SqliteTransaction::begin() {
    open_ = db_.exec(ShotSql::begin);
    return open_;
}

bool SqliteTransaction::commit() {
    if (!db_.exec(ShotSql::commit))
        return false;
    open_ = false;
    return true;
}
