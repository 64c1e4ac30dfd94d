#pragma once

// Debian's Tesseract parallelises with OpenMP, which on a small machine makes
// it several times slower, and OpenMP reads its thread limit only when the
// process starts. So the helper makes sure it runs with OMP_THREAD_LIMIT=1,
// starting itself afresh with it when it is missing; our own workers supply
// the parallelism instead.
namespace SingleThreadedOpenMp {

constexpr const char* variable = "OMP_THREAD_LIMIT";

// Returns only when the limit is in place, or when starting afresh failed
// (the helper then works, only slower).
void ensure(char** argv);

} // namespace SingleThreadedOpenMp
