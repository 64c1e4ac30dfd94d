#pragma once

// The search index beside table `shots`: an FTS5 table over `ocr_text` that
// stores no text of its own, a one-row table saying how far the index is
// built, and a log of the rows changed since the index last took in changes.
// Rows up to `indexed_upto` are in the index; rows above it are left to the
// builder, which walks up by id. 9223372036854775807 means every row, also
// every future one. The tokenizer is GramTokenizer's, registered on every
// connection of ours by its name.
//
// The triggers on `shots` are plain SQL that only write the log, so that any
// SQLite client can still insert, change and delete shots without our
// tokenizer. Each log entry keeps the text the row had before the change,
// since an FTS5 index over external content can only forget text it is told.
// Searches read the logged rows as they are now, beside the index's
// candidates; the indexer folds the log into the index.
namespace SearchSql {

inline constexpr char schema[] =
    "CREATE VIRTUAL TABLE shots_fts USING fts5(ocr_text, content='shots', "
    "content_rowid='id', tokenize='glimber_grams', detail=none, columnsize=0);\n"
    "CREATE TABLE shots_fts_state(indexed_upto INTEGER NOT NULL);\n"
    "INSERT INTO shots_fts_state VALUES(0);\n"
    // A new database has nothing to catch up on.
    "UPDATE shots_fts_state SET indexed_upto = 9223372036854775807\n"
    "  WHERE NOT EXISTS (SELECT 1 FROM shots);\n";

// The log and its triggers, also what an index of an older build, whose
// triggers needed the tokenizer, is mended with. `was_there` says the row
// existed before the change, with `old_text`.
inline constexpr char changeLog[] =
    "CREATE TABLE shots_fts_log(seq INTEGER PRIMARY KEY, id INTEGER NOT NULL, "
    "was_there INTEGER NOT NULL, old_text TEXT);\n"
    "CREATE TRIGGER shots_log_insert AFTER INSERT ON shots BEGIN\n"
    "  INSERT INTO shots_fts_log(id, was_there) VALUES(new.id, 0);\n"
    "END;\n"
    "CREATE TRIGGER shots_log_delete AFTER DELETE ON shots BEGIN\n"
    "  INSERT INTO shots_fts_log(id, was_there, old_text) VALUES(old.id, 1, old.ocr_text);\n"
    "END;\n"
    "CREATE TRIGGER shots_log_update AFTER UPDATE OF id, ocr_text ON shots BEGIN\n"
    "  INSERT INTO shots_fts_log(id, was_there, old_text) VALUES(old.id, 1, old.ocr_text);\n"
    "  INSERT INTO shots_fts_log(id, was_there) SELECT new.id, 0 WHERE new.id IS NOT old.id;\n"
    "END;";

// The objects of a whole index, and those of an older build's index, whose
// triggers wrote the index itself and so needed the tokenizer.
inline constexpr char countObjects[] =
    "SELECT COUNT(*) FROM sqlite_master WHERE name IN ('shots_fts', 'shots_fts_state', "
    "'shots_fts_log', 'shots_log_insert', 'shots_log_delete', 'shots_log_update')";
inline constexpr int objectCount = 6;
inline constexpr char countOlderObjects[] =
    "SELECT COUNT(*) FROM sqlite_master WHERE name IN ('shots_fts', 'shots_fts_state', "
    "'shots_fts_insert', 'shots_fts_delete', 'shots_fts_update')";
inline constexpr int olderObjectCount = 5;
inline constexpr char dropOlderTriggers[] = "DROP TRIGGER IF EXISTS shots_fts_insert;\n"
                                            "DROP TRIGGER IF EXISTS shots_fts_delete;\n"
                                            "DROP TRIGGER IF EXISTS shots_fts_update;";
inline constexpr char dropAll[] = "DROP TRIGGER IF EXISTS shots_fts_insert;\n"
                                  "DROP TRIGGER IF EXISTS shots_fts_delete;\n"
                                  "DROP TRIGGER IF EXISTS shots_fts_update;\n"
                                  "DROP TRIGGER IF EXISTS shots_log_insert;\n"
                                  "DROP TRIGGER IF EXISTS shots_log_delete;\n"
                                  "DROP TRIGGER IF EXISTS shots_log_update;\n"
                                  "DROP TABLE IF EXISTS shots_fts_log;\n"
                                  "DROP TABLE IF EXISTS shots_fts_state;\n"
                                  "DROP TABLE IF EXISTS shots_fts;";

// Folding the log into the index, in one transaction: for each logged row its
// first entry tells what the index holds of it, which is forgotten; then the
// row's text as it is now goes in. Rows above the mark are the builder's.
inline constexpr char foldForget[] =
    "INSERT INTO shots_fts(shots_fts, rowid, ocr_text) SELECT 'delete', id, old_text "
    "FROM shots_fts_log WHERE seq IN (SELECT MIN(seq) FROM shots_fts_log GROUP BY id) "
    "AND was_there AND old_text IS NOT NULL "
    "AND id <= (SELECT indexed_upto FROM shots_fts_state)";
inline constexpr char foldTakeIn[] =
    "INSERT INTO shots_fts(rowid, ocr_text) SELECT id, ocr_text FROM shots "
    "WHERE id IN (SELECT id FROM shots_fts_log) AND ocr_text IS NOT NULL "
    "AND id <= (SELECT indexed_upto FROM shots_fts_state)";
inline constexpr char foldClear[] = "DELETE FROM shots_fts_log";
inline constexpr char anyLogged[] = "SELECT EXISTS(SELECT 1 FROM shots_fts_log)";

inline constexpr char indexedUpto[] = "SELECT indexed_upto FROM shots_fts_state";

// One build batch: the last id of the next rows above the mark, then those rows.
inline constexpr char batchEnd[] =
    "SELECT MAX(id) FROM (SELECT id FROM shots WHERE id > ? ORDER BY id LIMIT ?)";
inline constexpr char indexBatch[] =
    "INSERT INTO shots_fts(rowid, ocr_text) SELECT id, ocr_text FROM shots "
    "WHERE id > %1 AND id <= %2 AND ocr_text IS NOT NULL";
// The builder takes in rows as they are now, so what the log says of them is moot.
inline constexpr char forgetBatchLog[] = "DELETE FROM shots_fts_log WHERE id > %1 AND id <= %2";
inline constexpr char anyRowAbove[] = "SELECT EXISTS(SELECT 1 FROM shots WHERE id > ?)";
inline constexpr char markIndexed[] = "UPDATE shots_fts_state SET indexed_upto = %1";
inline constexpr char lastId[] = "SELECT IFNULL(MAX(id), 0) FROM shots";

// Searches, each giving what the plain search gives, in the same order: the
// plain one walks idx_shots_mtime, which lists equal times by ascending id.
// The rows that may match: the index's, and every row changed since it last
// took in changes, whatever the index says of them.
#define GLIMBER_CANDIDATE_IDS                                                                      \
    "SELECT rowid AS id FROM shots_fts WHERE shots_fts MATCH ?1 "                                  \
    "UNION SELECT id FROM shots_fts_log"
// How many candidates, and how dense: the index's alone, which it hands over
// newest first and stops; rows in the log are few and change no route.
inline constexpr char newestCandidates[] =
    "SELECT rowid FROM shots_fts WHERE shots_fts MATCH ?1 ORDER BY rowid DESC LIMIT ?2";
// Few candidates: read each, keep those LIKE matches, sort them; only the ids
// and times go through the sort, the rows' texts are read again for the few kept.
inline constexpr char searchCandidates[] =
    "SELECT s.id,s.path,s.filename,s.taken_at,s.ocr_text FROM ("
    "SELECT c.id AS id, c.mtime_ms AS mtime FROM (" GLIMBER_CANDIDATE_IDS ") AS k "
    "CROSS JOIN shots AS c ON c.id = k.id WHERE glimber_holds(c.ocr_text, ?2) "
    "ORDER BY c.mtime_ms DESC, c.id LIMIT ?3) AS hit "
    "CROSS JOIN shots AS s ON s.id = hit.id ORDER BY hit.mtime DESC, hit.id";
// The same, with the index's candidates known already: ?1 a JSON array of their ids.
inline constexpr char searchKnownCandidates[] =
    "SELECT s.id,s.path,s.filename,s.taken_at,s.ocr_text FROM ("
    "SELECT c.id AS id, c.mtime_ms AS mtime FROM ("
    "SELECT value AS id FROM json_each(?1) UNION SELECT id FROM shots_fts_log) AS k "
    "CROSS JOIN shots AS c ON c.id = k.id WHERE glimber_holds(c.ocr_text, ?2) "
    "ORDER BY c.mtime_ms DESC, c.id LIMIT ?3) AS hit "
    "CROSS JOIN shots AS s ON s.id = hit.id ORDER BY hit.mtime DESC, hit.id";
// Many candidates: walk the rows newest first, reading only the candidates' text.
// ?4, when not NULL, leaves out the rows from that time on: a window searched before.
inline constexpr char searchWalk[] =
    "SELECT id,path,filename,taken_at,ocr_text FROM shots "
    "WHERE +id IN (" GLIMBER_CANDIDATE_IDS ") AND glimber_holds(ocr_text, ?2) "
    "AND (?4 IS NULL OR mtime_ms < ?4 OR mtime_ms IS NULL) "
    "ORDER BY mtime_ms DESC, id LIMIT ?3";
// Matches everywhere: the plain search over the newest rows only, those from the
// time of the window's last row on (all rows of that time, so the window ends
// between two times and the rows after it follow in order).
inline constexpr char windowStart[] =
    "SELECT mtime_ms FROM shots ORDER BY mtime_ms DESC LIMIT 1 OFFSET ?";
inline constexpr char searchWindow[] =
    "SELECT id,path,filename,taken_at,ocr_text FROM shots WHERE mtime_ms >= ?4 "
    "AND glimber_holds(ocr_text, ?2) ORDER BY mtime_ms DESC, id LIMIT ?3";

// Near matches: the newest rows the index names for a word's halves (?1, no
// more than ?2 of them), those glimber_near() takes (?3), newest first (?4 rows).
inline constexpr char searchNear[] =
    "SELECT s.id,s.path,s.filename,s.taken_at,s.ocr_text FROM ("
    "SELECT id FROM (SELECT rowid AS id FROM shots_fts WHERE shots_fts MATCH ?1 "
    "ORDER BY rowid DESC LIMIT ?2) UNION SELECT id FROM shots_fts_log) AS k "
    "CROSS JOIN shots AS s ON s.id = k.id WHERE glimber_near(s.ocr_text, ?3) "
    "ORDER BY s.mtime_ms DESC, s.id LIMIT ?4";

#undef GLIMBER_CANDIDATE_IDS

inline constexpr char begin[] = "BEGIN IMMEDIATE";
inline constexpr char beginRead[] = "BEGIN";
inline constexpr char commit[] = "COMMIT";
inline constexpr char rollback[] = "ROLLBACK";

} // namespace SearchSql
