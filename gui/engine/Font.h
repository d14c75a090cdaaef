#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/engine/Glyph.h"
#include "gui/engine/Rect.h"

namespace gui {

// A proportional anti-aliased bitmap font in the "QFONT.1" format.
class Font {
public:
    uint8_t height = 0;
    uint8_t ascent = 0;
    uint8_t descent = 0;

    // Replaces the font with the image's; on a bad or truncated image the font is left empty.
    bool LoadFromMemory(const uint8_t* data, size_t size);
    // The same without the console lines, for tools that draw beside the program (the
    // simulator's window) and must leave its console as the device prints it.
    bool LoadQuietly(const uint8_t* data, size_t size);
    void Clear();

    // Null for codes the font has no glyph for (and for every code of an empty font).
    const Glyph* GlyphFor(uint8_t code) const;
    // Adjustment when `code` follows `previous`.
    int Kerning(uint8_t previous, uint8_t code) const;

    size_t GlyphCount() const { return glyphs_.size(); }
    size_t KerningCount() const { return kerning_.size(); }

private:
    bool Load(const uint8_t* data, size_t size, bool report);

    std::vector<std::unique_ptr<Glyph>> glyphs_;  // indexed by character code
    std::vector<KerningPair> kerning_;
};

// The box the text covers when drawn with its baseline origin at (0, 0); null for empty text.
Rect TextBounds(const Font& font, const char* text);

}  // namespace gui
