#pragma once

struct sqlite3;

// The SQL functions the search statements use, made known on one connection.
// They are not part of the database's schema: other programs never need them.
//
// glimber_holds(text, patterns): whether `text` matches every LIKE pattern of
// `patterns` (a blob of NUL-ended UTF-8 patterns, as likePatterns() makes
// them), as `text LIKE pattern` would for each; NULL text matches nothing.
//
// glimber_near(text, terms): whether `text` holds each of `terms` (as
// NearMatch::termsForSql() makes them), a word that may be near also one edit
// away (NearMatch).
namespace SearchFunctions {

bool registerWith(sqlite3* db);

} // namespace SearchFunctions
