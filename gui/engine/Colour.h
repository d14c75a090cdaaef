#pragma once

#include <cstdint>

namespace gui {

// 0xAARRGGBB; alpha 255 is opaque, 0 transparent.
using Colour = uint32_t;
// RGB565: red in bits 11..15, green 5..10, blue 0..4.
using Pixel = uint16_t;

// "No colour": span runs given it are left untouched.
constexpr Colour ColourNone = 0xFFFFFFFE;

// Keeps the top bits of each channel; alpha is ignored.
constexpr Pixel ToPixel(Colour c) {
    return static_cast<Pixel>(((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F));
}

// Back to 8-bit channels (0x00RRGGBB) without replicating bits: R5 << 3, G6 << 2, B5 << 3.
constexpr uint32_t ToRgb888(Pixel p) {
    return (static_cast<uint32_t>(p >> 11) << 3) << 16 | (static_cast<uint32_t>((p >> 5) & 0x3F) << 2) << 8 |
           (static_cast<uint32_t>(p & 0x1F) << 3);
}

// Blends an 8-bit-per-channel colour (0x00RRGGBB) with alpha a over the pixel d. Red and blue
// are mixed together in one word: each lane stays below 2^16, so no channel carries into another.
inline Pixel BlendRgb(uint32_t rgb, uint32_t a, Pixel d) {
    if (a == 255) return ToPixel(rgb);
    if (a == 0) return d;
    const uint32_t dst = ToRgb888(d);
    const uint32_t rb = (((rgb & 0x00FF00FF) * (a + 1) + (dst & 0x00FF00FF) * (255 - a)) >> 8) & 0x00FF00FF;
    const uint32_t g = (((rgb & 0x0000FF00) * (a + 1) + (dst & 0x0000FF00) * (255 - a)) >> 8) & 0x0000FF00;
    return ToPixel(rb | g);
}

// The blending rule for a colour with its own alpha.
inline Pixel Blend(Colour c, Pixel d) { return BlendRgb(c & 0x00FFFFFF, c >> 24, d); }

}  // namespace gui
