#pragma once

#include <QByteArray>

// Bodies of fake OCR helpers: shell scripts that speak the helper's protocol.
// Paths used with them hold no quotes.
namespace FakeOcrHelper {

// Answers every path with the text "Text of <path>".
inline const QByteArray echo = "while IFS= read -r p; do printf '{\"path\": \"%s\", \"text\": "
                               "\"Text of %s\"}\\n' \"$p\" \"$p\"; "
                               "done\n";

// Like `echo`, but reports an error for every path containing "bad-".
inline const QByteArray failsBad =
    "while IFS= read -r p; do case \"$p\" in\n"
    "  *bad-*) printf '{\"path\": \"%s\", \"error\": \"unreadable\"}\\n' \"$p\" ;;\n"
    "  *) printf '{\"path\": \"%s\", \"text\": \"Text of %s\"}\\n' \"$p\" \"$p\" ;;\n"
    "esac; done\n";

// Like `echo`, but says nothing at all for every path containing "bad-", as a
// helper that crashed on those files would.
inline const QByteArray silentOnBad =
    "while IFS= read -r p; do case \"$p\" in *bad-*) ;; *) printf '{\"path\": \"%s\", "
    "\"text\": \"Text of %s\"}\\n' \"$p\" \"$p\" ;; esac; done\n";

} // namespace FakeOcrHelper
