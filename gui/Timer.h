#pragma once

#include <cstdint>

namespace gui {

class Widget;

// A widget's due time on the millisecond clock.
struct Timer {
    const Widget* widget;  // used as an identity only
    int32_t due;
};

}  // namespace gui
