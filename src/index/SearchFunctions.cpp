#include "SearchFunctions.h"

#include <sqlite3.h>
#include <string>

namespace SearchFunctions {

namespace {

void holds(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const auto* patterns = static_cast<const char*>(sqlite3_value_blob(arguments[1]));
    const int size = sqlite3_value_bytes(arguments[1]);
    // Only a blob of NUL-ended patterns is read, never past its end.
    if (!text || (size > 0 && patterns[size - 1] != '\0')) {
        sqlite3_result_int(context, 0);
        return;
    }
    // sqlite3_strlike() is LIKE itself: the same comparison, ASCII letters
    // in either case. Each pattern ends with its NUL.
    for (const char* pattern = patterns; pattern && pattern < patterns + size;
         pattern += std::char_traits<char>::length(pattern) + 1) {
        if (sqlite3_strlike(pattern, text, 0) != 0) {
            sqlite3_result_int(context, 0);
            return;
        }
    }
    sqlite3_result_int(context, 1);
}

} // namespace

bool registerWith(sqlite3* db) {
    return sqlite3_create_function(db, "glimber_holds", 2,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   holds, nullptr, nullptr) == SQLITE_OK;
}

} // namespace SearchFunctions
