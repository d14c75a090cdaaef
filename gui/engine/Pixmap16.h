#pragma once

#include <cstdint>
#include <vector>

#include "gui/engine/Point.h"

namespace gui {

// A picture in the display's own RGB565 format (row-major, no padding).
class Pixmap16 {
public:
    Pixmap16() = default;
    explicit Pixmap16(const Size& size);

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels;  // empty when width or height is not positive
};

}  // namespace gui
