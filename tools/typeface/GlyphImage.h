#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace typeface {

// One glyph's coverage, as the font image stores it and the artwork draws it: rows drawn from the
// pen position, the first row `top` pixels above the baseline. Column 0 is the pen position, so a
// glyph's left bearing is part of its bitmap (the device ignores the stored left offset).
struct GlyphImage {
    int advance = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // height * width bytes, row-major

    bool Present() const { return advance > 0 || width * height > 0; }
    uint8_t At(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
    // Drops empty rows above and below, and empty columns on the right.
    void Trim();
};

}  // namespace typeface
