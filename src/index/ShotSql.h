#pragma once

// The shot database's schema and every statement run against it, in one place.
// The texts are part of the stored format shared with other tools: keep them exact.
namespace ShotSql {

inline constexpr char schema[] =
    "CREATE TABLE IF NOT EXISTS shots (\n"
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "  path TEXT UNIQUE NOT NULL,\n"
    "  filename TEXT NOT NULL,\n"
    "  bytes INTEGER,\n"
    "  mtime_ms INTEGER,\n"
    "  taken_at TEXT,\n"
    "  ocr_text TEXT,\n"
    "  ocr_done INTEGER NOT NULL DEFAULT 0,\n"
    "  indexed_at TEXT NOT NULL\n"
    ");\n"
    "CREATE INDEX IF NOT EXISTS idx_shots_mtime ON shots(mtime_ms DESC);";

// Where each shot's words stand (ShotWords), read with its text; `bytes` and
// `mtime_ms` are its file's when it was read.
inline constexpr char wordsSchema[] =
    "CREATE TABLE IF NOT EXISTS shot_words(id INTEGER PRIMARY KEY, bytes INTEGER NOT NULL, "
    "mtime_ms INTEGER NOT NULL, words TEXT NOT NULL)";
inline constexpr char storeWords[] =
    "INSERT OR REPLACE INTO shot_words(id, bytes, mtime_ms, words) VALUES(?, ?, ?, ?)";
inline constexpr char forgetWords[] = "DELETE FROM shot_words WHERE id = ?";
inline constexpr char selectWords[] = "SELECT bytes, mtime_ms, words FROM shot_words WHERE id = ?";
inline constexpr char forgetWordsOfGoneShots[] =
    "DELETE FROM shot_words WHERE id IN (SELECT id FROM shots_fts_log) "
    "AND id NOT IN (SELECT id FROM shots)";
// Recognised shots read before the helper told where words stand, to be read again.
inline constexpr char rereadWithoutWords[] =
    "UPDATE shots SET ocr_done = 0 WHERE ocr_done = 1 AND ocr_text IS NOT NULL "
    "AND id NOT IN (SELECT id FROM shot_words)";

inline constexpr char selectPaths[] = "SELECT path FROM shots";
inline constexpr char deleteByPath[] = "DELETE FROM shots WHERE path = ?";
inline constexpr char insertShot[] =
    "INSERT OR IGNORE INTO shots(path, filename, bytes, mtime_ms, taken_at, indexed_at)\n"
    "VALUES(?, ?, ?, ?, ?, ?)";
inline constexpr char selectPending[] =
    "SELECT id, path FROM shots WHERE ocr_done = 0 ORDER BY mtime_ms DESC LIMIT ?";
inline constexpr char selectPendingPath[] = "SELECT id FROM shots WHERE ocr_done = 0 AND path = ?";
// A file's text as read, with the size and time the file had then.
inline constexpr char selectReadText[] =
    "SELECT id, bytes, mtime_ms, ocr_text FROM shots WHERE path = ? AND ocr_text IS NOT NULL";
inline constexpr char markDone[] = "UPDATE shots SET ocr_done = 1 WHERE id = ?";
inline constexpr char storeText[] = "UPDATE shots SET ocr_text = ?, ocr_done = 1 WHERE id = ?";
inline constexpr char countPending[] = "SELECT COUNT(*) FROM shots WHERE ocr_done = 0";
inline constexpr char recent[] =
    "SELECT id,path,filename,taken_at,ocr_text FROM shots ORDER BY mtime_ms DESC LIMIT ?";
inline constexpr char search[] = "SELECT id,path,filename,taken_at,ocr_text FROM shots WHERE "
                                 "ocr_text LIKE ? ORDER BY mtime_ms DESC LIMIT ?";
// Near matches without the search index: among the newest rows only (?1).
inline constexpr char searchNearNewest[] =
    "SELECT id,path,filename,taken_at,ocr_text FROM (SELECT * FROM shots "
    "ORDER BY mtime_ms DESC LIMIT ?1) WHERE glimber_near(ocr_text, ?2) "
    "ORDER BY mtime_ms DESC LIMIT ?3";
// Texts that match every one of several LIKE patterns (SearchFunctions).
inline constexpr char searchAll[] = "SELECT id,path,filename,taken_at,ocr_text FROM shots WHERE "
                                    "glimber_holds(ocr_text, ?) ORDER BY mtime_ms DESC LIMIT ?";
inline constexpr char begin[] = "BEGIN";
inline constexpr char commit[] = "COMMIT";
inline constexpr char rollback[] = "ROLLBACK";

// Files the helper answered with an error. ocr_done = 2 keeps them out of the
// pending list without looking done to readers that know only 0 and 1; the
// reason lives in a column of its own, so ocr_text stays NULL as for any
// unrecognised shot and no search ever matches it.
inline constexpr char addErrorColumn[] = "ALTER TABLE shots ADD COLUMN ocr_error TEXT";
inline constexpr char markUnreadable[] =
    "UPDATE shots SET ocr_done = 2, ocr_error = ? WHERE id = ?";
inline constexpr char selectUnreadableStates[] =
    "SELECT id, path, bytes, mtime_ms FROM shots WHERE ocr_done = 2";
inline constexpr char reofferChanged[] =
    "UPDATE shots SET bytes = ?, mtime_ms = ?, ocr_done = 0, ocr_error = NULL WHERE id = ?";
inline constexpr char countUnreadable[] = "SELECT COUNT(*) FROM shots WHERE ocr_done = 2";
inline constexpr char selectUnreadable[] =
    "SELECT path, ocr_error FROM shots WHERE ocr_done = 2 ORDER BY mtime_ms DESC";

// What a file must hold to be taken for Glimber's index.
inline constexpr char selectTables[] = "SELECT name FROM sqlite_master WHERE type = 'table'";
inline constexpr char selectShotColumns[] = "PRAGMA table_info(shots)";

inline constexpr int writerBusyTimeoutMs = 3000;
inline constexpr int readerBusyTimeoutMs = 2000;

} // namespace ShotSql
