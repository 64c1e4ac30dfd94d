#include "SingleThreadedOpenMp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace SingleThreadedOpenMp {

void ensure(char** argv) {
    const char* limit = std::getenv(variable);
    if (limit != nullptr && std::strcmp(limit, "1") == 0)
        return;
    setenv(variable, "1", 1);
    execv("/proc/self/exe", argv);
    std::perror("qxocr: cannot restart with OMP_THREAD_LIMIT=1");
}

} // namespace SingleThreadedOpenMp
