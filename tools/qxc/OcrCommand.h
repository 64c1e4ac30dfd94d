#pragma once

#include "ShotIndex.h"

#include <cstdio>

namespace OcrCommand {

// One scan of the source folders, then OCR batches until nothing is pending or
// only rows that already failed are left. Prints one summary line to `out`,
// after the unreadable files and their reasons when `listUnreadable` is set,
// and the progress bar and any complaint to `err`. Stops at the first failed
// read or write of the index. Returns the exit status.
int run(ShotIndexOptions options, std::FILE* out, std::FILE* err, bool listUnreadable = false,
        bool reread = false);

} // namespace OcrCommand
