#pragma once

// qxc's exit statuses, which scripts rely on (see qxc(1)). Like grep, a search
// that found nothing is not an error but is told apart from one that did.
namespace QxcExit {

constexpr int done = 0;          // results printed, or `ocr` finished
constexpr int nothingFound = 1;  // `search` or `recent` found no shot, `text` no text
constexpr int usage = 2;         // the command line is wrong
constexpr int noIndex = 3;       // no index exists yet
constexpr int indexUnusable = 4; // busy, not Glimber's, or not writable
constexpr int noHelper = 5;      // `ocr` or `text` found no OCR helper beside qxc

} // namespace QxcExit
