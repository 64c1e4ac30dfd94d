#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

// The tokenizer of the search index: short runs of characters (grams) become
// tokens, so any literal piece of a LIKE pattern can be looked up. Characters are
// read and compared the way SQLite's LIKE reads them: UTF-8 as SQLite decodes it,
// ASCII letters folded to lower case, nothing else folded.
namespace GramTokenizer {

// The name the index's table is declared with.
inline constexpr char name[] = "glimber_grams";

// Makes the tokenizer known to FTS5 on one connection. Every connection that
// writes table `shots` needs it, since the index's triggers tokenize; readers
// need it to query. False when the library has no FTS5.
bool registerWith(sqlite3* db);

// The characters of `utf8` as LIKE sees them, ASCII letters in lower case.
std::vector<char32_t> likeCharacters(std::string_view utf8);
// The one at `at`, moving `at` past it.
char32_t readLikeCharacter(const unsigned char*& at, const unsigned char* end);

// The lengths of the grams that start at a character, longest first. Where a gram
// starts depends on that character alone, so a piece of a pattern holds, at each
// of its positions, the very grams a text holding the piece has there. An ASCII
// character starts a triple and a pair; outside ASCII (kanji, kana, accented
// letters), where a pair already says much, a pair and the character itself. No
// single ASCII character: each is in nearly every text, and the plain scan finds
// those at once.
inline std::array<int, 2> gramLengths(char32_t c) {
    return c < 0x80 ? std::array{3, 2} : std::array{2, 1};
}

// The token for a gram of one to three characters.
std::string token(const char32_t* characters, int count);

} // namespace GramTokenizer
