#pragma once

#include <cstdint>

namespace gui {

// The process-wide millisecond clock on the monotonic clock: 0 at its first reading (whole
// seconds of that reading are the base), counting milliseconds from there.
int32_t NowMs();

}  // namespace gui
