#include "GramTokenizer.h"

#include <sqlite3.h>

namespace GramTokenizer {

namespace {

// Reads one character the way SQLite's LIKE does (sqlite3Utf8Read): a lead byte
// takes every continuation byte that follows, and what is not a proper encoding
// reads as U+FFFD. Agreeing with it byte for byte is what lets an index built on
// these characters never miss a row that LIKE would match.
char32_t readCharacter(const unsigned char*& at, const unsigned char* end) {
    char32_t c = *at++;
    if (c < 0xC0)
        return c;
    static constexpr unsigned char leadBits[] = {
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c,
        0x0d, 0x0e, 0x0f, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19,
        0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
        0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x00, 0x01, 0x02, 0x03,
        0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00,
    };
    c = leadBits[c - 0xC0];
    while (at != end && (*at & 0xC0) == 0x80)
        c = (c << 6) + (0x3F & *at++);
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
        c = 0xFFFD;
    return c;
}

char32_t folded(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

void appendUtf8(std::string& out, char32_t c) {
    // Values past Unicode come only from malformed text; merging them into one
    // token can only add candidates, never lose one.
    if (c > 0x10FFFF)
        c = 0xFFFD;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

using TokenCallback = int (*)(void*, int, const char*, int, int, int);

int emit(void* context, TokenCallback callback, const char32_t* characters, int count, int start,
         int end) {
    const std::string text = token(characters, count);
    return callback(context, 0, text.data(), int(text.size()), start, end);
}

// Each character starts the grams that `gramLengths` gives it, as far as the
// text reaches.
int tokenizeDocument(void* context, const char* text, int length, TokenCallback callback) {
    const auto* begin = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* at = begin;
    const unsigned char* end = begin + length;
    std::vector<char32_t> characters;
    std::vector<int> starts;
    while (at != end) {
        starts.push_back(int(at - begin));
        characters.push_back(folded(readCharacter(at, end)));
    }
    starts.push_back(length);
    const int count = int(characters.size());
    for (int i = 0; i < count; ++i) {
        for (int gram : gramLengths(characters[std::size_t(i)])) {
            if (i + gram > count)
                continue;
            const int rc = emit(context, callback, &characters[std::size_t(i)], gram,
                                starts[std::size_t(i)], starts[std::size_t(i + gram)]);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    return SQLITE_OK;
}

int create(void*, const char**, int argumentCount, Fts5Tokenizer** tokenizer) {
    if (argumentCount != 0)
        return SQLITE_ERROR;
    // The tokenizer keeps no state; FTS5 only needs a handle that is not null.
    static char handle;
    *tokenizer = reinterpret_cast<Fts5Tokenizer*>(&handle);
    return SQLITE_OK;
}

void destroy(Fts5Tokenizer*) {}

// A query asks for exactly one gram, which the search side has already cut out.
int tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int length,
             TokenCallback callback) {
    if ((flags & FTS5_TOKENIZE_QUERY) == 0)
        return tokenizeDocument(context, text, length, callback);
    const std::vector<char32_t> characters = likeCharacters(std::string_view(text, length));
    if (characters.empty())
        return SQLITE_OK;
    return emit(context, callback, characters.data(), int(characters.size()), 0, length);
}

} // namespace

bool registerWith(sqlite3* db) {
    fts5_api* api = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (api == nullptr || api->iVersion < 2)
        return false;
    fts5_tokenizer methods{create, destroy, tokenize};
    return api->xCreateTokenizer(api, name, nullptr, &methods, nullptr) == SQLITE_OK;
}

char32_t readLikeCharacter(const unsigned char*& at, const unsigned char* end) {
    return folded(readCharacter(at, end));
}

std::vector<char32_t> likeCharacters(std::string_view utf8) {
    std::vector<char32_t> characters;
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* end = at + utf8.size();
    while (at != end)
        characters.push_back(folded(readCharacter(at, end)));
    return characters;
}

std::string token(const char32_t* characters, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        appendUtf8(text, characters[i]);
    return text;
}

} // namespace GramTokenizer
