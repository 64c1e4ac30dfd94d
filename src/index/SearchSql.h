#pragma once

// The search index beside table `shots`: an FTS5 table over `ocr_text` that
// stores no text of its own, kept in step by triggers on `shots`, and a one-row
// table saying how far the index is built. Rows up to `indexed_upto` are in the
// index and the triggers keep them there; rows above it are left to the builder,
// which walks up by id. 9223372036854775807 means every row, also every future one.
// The tokenizer is GramTokenizer's, registered on every connection by its name.
namespace SearchSql {

inline constexpr char schema[] =
    "CREATE VIRTUAL TABLE shots_fts USING fts5(ocr_text, content='shots', "
    "content_rowid='id', tokenize='glimber_grams', detail=none, columnsize=0);\n"
    "CREATE TABLE shots_fts_state(indexed_upto INTEGER NOT NULL);\n"
    "INSERT INTO shots_fts_state VALUES(0);\n"
    // A new database has nothing to catch up on.
    "UPDATE shots_fts_state SET indexed_upto = 9223372036854775807\n"
    "  WHERE NOT EXISTS (SELECT 1 FROM shots);\n"
    "CREATE TRIGGER shots_fts_insert AFTER INSERT ON shots\n"
    "WHEN new.ocr_text IS NOT NULL AND new.id <= (SELECT indexed_upto FROM shots_fts_state)\n"
    "BEGIN\n"
    "  INSERT INTO shots_fts(rowid, ocr_text) VALUES(new.id, new.ocr_text);\n"
    "END;\n"
    "CREATE TRIGGER shots_fts_delete AFTER DELETE ON shots\n"
    "WHEN old.ocr_text IS NOT NULL AND old.id <= (SELECT indexed_upto FROM shots_fts_state)\n"
    "BEGIN\n"
    "  INSERT INTO shots_fts(shots_fts, rowid, ocr_text) VALUES('delete', old.id, old.ocr_text);\n"
    "END;\n"
    "CREATE TRIGGER shots_fts_update AFTER UPDATE OF id, ocr_text ON shots\n"
    "BEGIN\n"
    "  INSERT INTO shots_fts(shots_fts, rowid, ocr_text) SELECT 'delete', old.id, old.ocr_text\n"
    "    WHERE old.ocr_text IS NOT NULL AND old.id <= (SELECT indexed_upto FROM shots_fts_state);\n"
    "  INSERT INTO shots_fts(rowid, ocr_text) SELECT new.id, new.ocr_text\n"
    "    WHERE new.ocr_text IS NOT NULL AND new.id <= (SELECT indexed_upto FROM shots_fts_state);\n"
    "END;";

// The objects above, for telling an index that is whole from one that is not.
inline constexpr char countObjects[] =
    "SELECT COUNT(*) FROM sqlite_master WHERE name IN ('shots_fts', 'shots_fts_state', "
    "'shots_fts_insert', 'shots_fts_delete', 'shots_fts_update')";
inline constexpr int objectCount = 5;

inline constexpr char indexedUpto[] = "SELECT indexed_upto FROM shots_fts_state";

// One build batch: the last id of the next rows above the mark, then those rows.
inline constexpr char batchEnd[] =
    "SELECT MAX(id) FROM (SELECT id FROM shots WHERE id > ? ORDER BY id LIMIT ?)";
inline constexpr char indexBatch[] =
    "INSERT INTO shots_fts(rowid, ocr_text) SELECT id, ocr_text FROM shots "
    "WHERE id > %1 AND id <= %2 AND ocr_text IS NOT NULL";
inline constexpr char anyRowAbove[] = "SELECT EXISTS(SELECT 1 FROM shots WHERE id > ?)";
inline constexpr char markIndexed[] = "UPDATE shots_fts_state SET indexed_upto = %1";
inline constexpr char lastId[] = "SELECT IFNULL(MAX(id), 0) FROM shots";

// Searches, each giving what the plain search gives, in the same order: the
// plain one walks idx_shots_mtime, which lists equal times by ascending id.
inline constexpr char newestCandidates[] =
    "SELECT rowid FROM shots_fts WHERE shots_fts MATCH ? ORDER BY rowid DESC LIMIT ?";
// Few candidates: read each, keep those LIKE matches, sort them; only the ids
// and times go through the sort, the rows' texts are read again for the few kept.
inline constexpr char searchCandidates[] =
    "SELECT s.id,s.path,s.filename,s.taken_at,s.ocr_text FROM ("
    "SELECT c.id AS id, c.mtime_ms AS mtime FROM shots_fts CROSS JOIN shots AS c "
    "ON c.id = shots_fts.rowid WHERE shots_fts MATCH ?1 AND c.ocr_text LIKE ?2 "
    "ORDER BY c.mtime_ms DESC, c.id LIMIT ?3) AS hit "
    "CROSS JOIN shots AS s ON s.id = hit.id ORDER BY hit.mtime DESC, hit.id";
// Many candidates: walk the rows newest first, reading only the candidates' text.
// ?4, when not NULL, leaves out the rows from that time on: a window searched before.
inline constexpr char searchWalk[] =
    "SELECT id,path,filename,taken_at,ocr_text FROM shots "
    "WHERE +id IN (SELECT rowid FROM shots_fts WHERE shots_fts MATCH ?1) AND ocr_text LIKE ?2 "
    "AND (?4 IS NULL OR mtime_ms < ?4 OR mtime_ms IS NULL) "
    "ORDER BY mtime_ms DESC, id LIMIT ?3";
// Matches everywhere: the plain search over the newest rows only, those from the
// time of the window's last row on (all rows of that time, so the window ends
// between two times and the rows after it follow in order).
inline constexpr char windowStart[] =
    "SELECT mtime_ms FROM shots ORDER BY mtime_ms DESC LIMIT 1 OFFSET ?";
inline constexpr char searchWindow[] =
    "SELECT id,path,filename,taken_at,ocr_text FROM shots WHERE mtime_ms >= ?4 "
    "AND ocr_text LIKE ?2 ORDER BY mtime_ms DESC, id LIMIT ?3";

inline constexpr char begin[] = "BEGIN IMMEDIATE";
inline constexpr char beginRead[] = "BEGIN";
inline constexpr char commit[] = "COMMIT";
inline constexpr char rollback[] = "ROLLBACK";

} // namespace SearchSql
