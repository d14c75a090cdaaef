#pragma once

#include <cstdint>
#include <vector>

namespace gui {

// A 32-bit picture with alpha (0xAARRGGBB pixels, row-major). Empty: -1 x -1, no pixels.
class Image {
public:
    int32_t width = -1;
    int32_t height = -1;
    std::vector<uint32_t> pixels;
};

}  // namespace gui
