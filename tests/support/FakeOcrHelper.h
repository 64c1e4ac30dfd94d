#pragma once

#include <QByteArray>

// Bodies of fake OCR helpers: shell scripts that speak the helper's protocol.
// Paths used with them hold no quotes.
namespace FakeOcrHelper {

// Leaves "<helper>.ran" beside itself, then answers each path by its file name:
// "bad-…" with an error, "number-…" with a text that is no string, "nul-…" with
// a NUL inside the text, "stray-…" with a line for another path and a line of
// garbage, "crlf-…" with a CRLF-ended line, "latin1-…" with bytes that are no
// UTF-8; at "crash-…" it dies, at "hang-…" it hangs. Every other path gets the
// text "Text of <path>".
inline const QByteArray echo = R"(touch "$0.ran"
while IFS= read -r p; do case "${p##*/}" in
  bad-*) printf '{"path": "%s", "error": "unreadable"}\n' "$p" ;;
  number-*) printf '{"path": "%s", "text": 42}\n' "$p" ;;
  nul-*) printf '{"path": "%s", "text": "a\\u0000b"}\n' "$p" ;;
  stray-*) printf 'garbage\n{"path": "/elsewhere.png", "text": "x"}\n' ;;
  crlf-*) printf '{"path": "%s", "text": "t"}\r\n' "$p" ;;
  latin1-*) printf '{"path": "%s", "text": "\377"}\n' "$p" ;;
  crash-*) kill -SEGV $$ ;;
  hang-*) exec sleep 60 ;;
  *) printf '{"path": "%s", "text": "Text of %s"}\n' "$p" "$p" ;;
esac; done
)";

} // namespace FakeOcrHelper
