#pragma once

#include <cstddef>
#include <cstdint>

namespace gui {

// A run-length-encoded RGB565 picture compiled into the program (see Pixmap16 for the packets).
// The size is not in the data, so it travels with it.
struct PackedPixmap {
    int32_t width;
    int32_t height;
    const uint16_t* data;
    size_t words;  // 16-bit units of data
};

}  // namespace gui
