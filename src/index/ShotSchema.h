#pragma once

#include "IndexFailure.h"
#include "SqliteConnection.h"

#include <optional>

// Whether a database file is Glimber's index, and what later versions add to it.
namespace ShotSchema {

// Why the file cannot be taken for the index; nothing when its table `shots`
// has every column the program reads and writes, or when it holds no table at
// all yet (a new file). Reads only: another program's file is left as it is.
std::optional<IndexFailure> check(SqliteConnection& db);

// Whether the database holds no table at all.
bool isEmpty(SqliteConnection& db);

// Adds the column that keeps the helper's reason for an unreadable file, when
// it is missing. False when that write failed.
bool addErrorColumn(SqliteConnection& db);

} // namespace ShotSchema
