#include "ShotStore.h"

#include "AppPaths.h"
#include "ShotReader.h"

namespace ShotStore {

namespace {

ShotReader& reader() {
    // Kept for the program's life: library queries may still run on pool
    // threads while static destructors run.
    static ShotReader* instance = new ShotReader(AppPaths::databaseFile());
    return *instance;
}

} // namespace

QString dbPath() {
    return reader().databasePath();
}

QList<Shot> recent(int limit) {
    return reader().recent(limit);
}

QList<Shot> search(const QString& text, int limit) {
    return reader().search(text, limit);
}

QList<ShotWord> words(const Shot& shot) {
    return reader().words(shot);
}

} // namespace ShotStore
