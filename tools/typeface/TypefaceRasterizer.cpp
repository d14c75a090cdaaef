#include "tools/typeface/TypefaceRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>

namespace typeface {

namespace {

// FreeType's own hinter, in both directions: stems land on whole pixels across as well as up and
// down, which keeps small text on the display crisp (the typeface's instructions, as FreeType
// runs them today, only hint vertically and leave the stems grey).
constexpr FT_Int32 kLoadFlags = FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_NORMAL;

}  // namespace

TypefaceRasterizer::TypefaceRasterizer() {
    // The same bytes on every machine: no user settings may change how FreeType hints.
    ::unsetenv("FREETYPE_PROPERTIES");
    if (FT_Init_FreeType(&library_) != 0)
        library_ = nullptr;
}

TypefaceRasterizer::~TypefaceRasterizer() {
    if (face_ != nullptr)
        FT_Done_Face(face_);
    if (library_ != nullptr)
        FT_Done_FreeType(library_);
}

bool TypefaceRasterizer::Open(const std::string& path, std::string* error) {
    if (library_ == nullptr) {
        *error = "FreeType did not start";
        return false;
    }
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
        face_ = nullptr;
        *error = "cannot open the typeface " + path;
        return false;
    }
    if (!FT_IS_SCALABLE(face_) || FT_Select_Charmap(face_, FT_ENCODING_UNICODE) != 0) {
        *error = path + " is not a scalable Unicode typeface";
        return false;
    }
    return true;
}

std::string TypefaceRasterizer::Name() const {
    std::string name = face_->family_name != nullptr ? face_->family_name : "?";
    if (face_->style_name != nullptr)
        name += std::string(" ") + face_->style_name;
    return name;
}

bool TypefaceRasterizer::SetPixelSize(int pixels) {
    return FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)) == 0;
}

int TypefaceRasterizer::Advance(uint32_t code) {
    const FT_UInt index = FT_Get_Char_Index(face_, code);
    if (index == 0 || FT_Load_Glyph(face_, index, kLoadFlags) != 0)
        return -1;
    return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
}

int TypefaceRasterizer::PickPixelSize(uint32_t first, uint32_t second, int advance, int minPixels,
                                      int maxPixels) {
    for (int pixels = maxPixels; pixels >= minPixels; --pixels) {
        if (SetPixelSize(pixels) && Advance(first) == advance && Advance(second) == advance) {
            return pixels;
        }
    }
    return 0;
}

bool TypefaceRasterizer::Render(uint32_t code, GlyphImage* out, int* shifted) {
    const FT_UInt index = FT_Get_Char_Index(face_, code);
    if (index == 0 || FT_Load_Glyph(face_, index, kLoadFlags | FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows * bitmap.width != 0)
        return false;
    const int left = slot->bitmap_left > 0 ? slot->bitmap_left : 0;
    *shifted = left - slot->bitmap_left;
    GlyphImage g;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.top = slot->bitmap_top;
    g.width = left + static_cast<int>(bitmap.width);
    g.height = static_cast<int>(bitmap.rows);
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
        for (unsigned x = 0; x < bitmap.width; ++x) {
            const unsigned level = row[x] * 255u / (bitmap.num_grays - 1);
            g.coverage[static_cast<size_t>(y) * g.width + left + x] = static_cast<uint8_t>(level);
        }
    }
    g.Trim();
    *out = std::move(g);
    return true;
}

}  // namespace typeface
