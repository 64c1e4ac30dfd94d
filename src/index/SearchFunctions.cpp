#include "SearchFunctions.h"

#include "NearMatch.h"

#include <sqlite3.h>
#include <string>
#include <vector>

namespace SearchFunctions {

namespace {

// The NUL-ended strings of a blob; nothing unless its last byte is a NUL, so
// that nothing is ever read past its end.
std::vector<const char*> strings(sqlite3_value* value) {
    const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
    const int size = sqlite3_value_bytes(value);
    std::vector<const char*> found;
    if (!bytes || size == 0 || bytes[size - 1] != '\0')
        return found;
    for (const char* at = bytes; at < bytes + size; at += std::char_traits<char>::length(at) + 1)
        found.push_back(at);
    return found;
}

bool like(const char* pattern, const char* text) {
    // sqlite3_strlike() is LIKE itself: the same comparison, ASCII letters in
    // either case.
    return sqlite3_strlike(pattern, text, 0) == 0;
}

void holds(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const auto* patterns = static_cast<const char*>(sqlite3_value_blob(arguments[1]));
    const int size = sqlite3_value_bytes(arguments[1]);
    // Read in place, once per row: only a blob of NUL-ended patterns, never
    // past its end.
    bool all = text && patterns && size > 0 && patterns[size - 1] == '\0';
    for (const char* at = patterns; all && at < patterns + size;
         at += std::char_traits<char>::length(at) + 1)
        all = like(at, text);
    sqlite3_result_int(context, all);
}

// The terms of glimber_near(), read once per statement.
struct NearTerm {
    std::string pattern;
    std::u32string word; // empty: the pattern alone decides
};

std::vector<NearTerm> readNearTerms(sqlite3_value* value) {
    std::vector<NearTerm> terms;
    const std::vector<const char*> parts = strings(value);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const char kind = parts[i][0];
        if (kind == 'n' && i + 1 < parts.size()) {
            terms.push_back({parts[i] + 1, NearMatch::normalized(parts[i + 1])});
            ++i;
        } else if (kind == 'e') {
            terms.push_back({parts[i] + 1, {}});
        }
    }
    return terms;
}

void near(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    // Read once per statement: the terms are the same for every row. SQLite
    // may drop what it keeps at any time; then they are read again.
    auto* terms = static_cast<std::vector<NearTerm>*>(sqlite3_get_auxdata(context, 1));
    std::vector<NearTerm> unkept;
    if (!terms) {
        unkept = readNearTerms(arguments[1]);
        terms = &unkept;
        sqlite3_set_auxdata(context, 1, new std::vector<NearTerm>(unkept),
                            [](void* data) { delete static_cast<std::vector<NearTerm>*>(data); });
    }
    if (!text || terms->empty()) {
        sqlite3_result_int(context, 0);
        return;
    }
    for (const NearTerm& term : *terms) {
        if (like(term.pattern.c_str(), text))
            continue;
        if (term.word.empty()) {
            sqlite3_result_int(context, 0);
            return;
        }
        if (!NearMatch::holdsNear(text, term.word)) {
            sqlite3_result_int(context, 0);
            return;
        }
    }
    sqlite3_result_int(context, 1);
}

bool define(sqlite3* db, const char* name,
            void (*function)(sqlite3_context*, int, sqlite3_value**)) {
    return sqlite3_create_function(db, name, 2,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   function, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

bool registerWith(sqlite3* db) {
    return define(db, "glimber_holds", holds) && define(db, "glimber_near", near);
}

} // namespace SearchFunctions
