#pragma once

#include <cstdint>

namespace gui {

// Three runs back to back on row y from x: a left border (pen), the interior (fill) and a right
// border (pen).
struct Span {
    int32_t x;
    int32_t y;
    int32_t leftBorder;
    int32_t interior;
    int32_t rightBorder;
};

}  // namespace gui
