#pragma once

#include <cstdint>
#include <vector>

#include "gui/engine/Colour.h"

namespace gui {

// The RGB565 off-screen picture and the framebuffer it is flushed to.
struct Canvas16 {
    Pixel* framebuffer = nullptr;
    std::vector<Pixel> buffer;  // width * height, rows packed
    uint32_t size = 0;          // byte size of the off-screen picture
    int32_t width = 0;
    int32_t height = 0;
    int32_t framebufferStride = 0;  // framebuffer row pitch in pixels
    Pixel penPixel = 0x0000;
    Pixel fillPixel = 0xFFFF;

    Pixel* Row(int32_t y) { return buffer.data() + static_cast<size_t>(y) * width; }
    Pixel* At(int32_t x, int32_t y) { return Row(y) + x; }
};

}  // namespace gui
