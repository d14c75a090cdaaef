#pragma once

#include <cstdint>
#include <vector>

namespace gui {

// One character of a bitmap font: 8-bit coverage, row-major, drawn with its first row `top`
// pixels above the baseline.
struct Glyph {
    uint8_t advance = 0;
    int8_t top = 0;
    uint8_t leftOffset = 0;  // kept from the file; not used for drawing or measuring
    uint8_t height = 0;
    uint8_t width = 0;
    std::vector<uint8_t> bitmap;  // height * width bytes; empty when there is no bitmap
    uint16_t kerningFirst = 0;    // [first, end) into the font's kerning pairs
    uint16_t kerningEnd = 0;
};

// How far a glyph moves when it follows the character `left`.
struct KerningPair {
    uint8_t left;
    int8_t adjustment;
};

}  // namespace gui
