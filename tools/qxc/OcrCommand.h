#pragma once

#include "ShotIndex.h"

#include <cstdio>

namespace OcrCommand {

// One scan of the source folders, then OCR batches until nothing is pending or
// only rows that already failed are left. Prints one summary line to `out` and
// the progress bar and any complaint to `err`. Returns the exit status.
int run(ShotIndexOptions options, std::FILE* out, std::FILE* err);

} // namespace OcrCommand
