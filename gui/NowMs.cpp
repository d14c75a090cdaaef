#include "gui/NowMs.h"

#include "platform/System.h"

namespace gui {

namespace {
int64_t baseSeconds = 0;  // 0: not taken yet
}

int32_t NowMs() {
    const timespec now = platform::Current().MonotonicNow();
    if (baseSeconds == 0) {
        baseSeconds = now.tv_sec;
        return 0;
    }
    return static_cast<int32_t>((now.tv_sec - baseSeconds) * 1000 + now.tv_nsec / 1000000);
}

}  // namespace gui
