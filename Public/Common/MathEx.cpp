#include "Public/Common/MathEx.h"

#include <cstdio>
#include <cstdlib>

namespace common {

void AssertionFailed(const char* expression, const char* file, int line, const char* function) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, function, expression);
    std::abort();
}

}  // namespace common
