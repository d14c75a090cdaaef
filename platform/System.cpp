#include "platform/System.h"

#include <cstdlib>

namespace platform {

namespace {
System* installed = nullptr;
}

System& Current() {
    if (installed == nullptr) {
        // A program that forgot to choose its backend must not guess one.
        std::fputs("platform: no system backend installed\n", stderr);
        std::abort();
    }
    return *installed;
}

void Install(System* system) { installed = system; }

}  // namespace platform
