#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/typeface/GlyphImage.h"

namespace fontgen {

using typeface::GlyphImage;

// A whole "QFONT.1" font: line metrics and one record per byte value. Absent codes keep an
// empty glyph (advance 0, no bitmap). There are no kerning pairs.
struct FontImage {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    std::array<GlyphImage, 256> glyphs;

    // The image as the device's loader reads it.
    std::vector<uint8_t> Serialise() const;
};

// Keeps a glyph inside the line and inside maxWidth x maxHeight: a glyph that reaches above the
// ascent or below the descent moves into the line if it fits, and what still sticks out is cut
// off. Returns what it had to do, empty when nothing.
std::string FitGlyph(GlyphImage* g, int ascent, int descent, int maxWidth, int maxHeight);

// A C++ source file defining gui::kBuiltinFont and gui::kBuiltinFontSize with the image; origin
// is comment lines saying where the glyphs come from.
std::string CppSource(const FontImage& font, const std::vector<uint8_t>& image,
                      const std::string& origin);

}  // namespace fontgen
