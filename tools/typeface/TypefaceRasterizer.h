#pragma once

#include <cstdint>
#include <string>

#include "tools/typeface/GlyphImage.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace typeface {

// Renders characters of a scalable typeface with FreeType: hinted, 8-bit anti-aliased.
class TypefaceRasterizer {
public:
    TypefaceRasterizer();
    ~TypefaceRasterizer();
    TypefaceRasterizer(const TypefaceRasterizer&) = delete;
    TypefaceRasterizer& operator=(const TypefaceRasterizer&) = delete;

    bool Open(const std::string& path, std::string* error);
    std::string Name() const;  // family and style, e.g. "DejaVu Sans Book"

    // The largest whole pixel size in [minPixels, maxPixels] at which both codes advance exactly
    // `advance` pixels; it becomes the current size. 0 when there is none.
    int PickPixelSize(uint32_t first, uint32_t second, int advance, int minPixels, int maxPixels);
    bool SetPixelSize(int pixels);

    // The character at the current size, left bearing included in the bitmap; ink left of the pen
    // cannot be drawn, so such a glyph moves right (*shifted pixels). False when the typeface has
    // no glyph for the character.
    bool Render(uint32_t code, GlyphImage* out, int* shifted);

private:
    int Advance(uint32_t code);

    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
};

}  // namespace typeface
