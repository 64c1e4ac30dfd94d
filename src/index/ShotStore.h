#pragma once

#include "Shot.h"
#include "ShotWords.h"

#include <QList>
#include <QString>

// The program's read side of ~/.glimvault/db.sqlite. Blocking: call it off the
// user-interface thread. Never writes and never creates the database.
namespace ShotStore {

QString dbPath();
QList<Shot> recent(int limit);
// `text` is used as given: callers trim it.
QList<Shot> search(const QString& text, int limit);
// Where the shot's words stand (ShotReader::words).
QList<ShotWord> words(const Shot& shot);

} // namespace ShotStore
