#include "IndexFailure.h"

#include "SqliteConnection.h"

#include <sqlite3.h>

IndexFailure IndexFailure::fromConnection(const SqliteConnection& db, Kind otherwise) {
    switch (db.errorCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {Kind::busy, db.errorMessage()};
    case SQLITE_NOTADB:
        return {Kind::notOurs, db.errorMessage()};
    default:
        return {otherwise, db.errorMessage()};
    }
}
