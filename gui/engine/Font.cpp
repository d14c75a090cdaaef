#include "gui/engine/Font.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gui {

namespace {

constexpr size_t kGlyphSlots = 256;

// Reads little-endian fields and refuses to go past the end of the image.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Take(size_t n, const uint8_t** out) {
        if (n > size_ - pos_) return false;
        *out = data_ + pos_;
        pos_ += n;
        return true;
    }
    bool U8(uint8_t* v) {
        const uint8_t* p;
        if (!Take(1, &p)) return false;
        *v = p[0];
        return true;
    }
    bool U16(uint16_t* v) {
        const uint8_t* p;
        if (!Take(2, &p)) return false;
        *v = static_cast<uint16_t>(p[0] | p[1] << 8);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool ReadGlyph(ByteReader& in, std::unique_ptr<Glyph>* out) {
    uint16_t version;
    auto g = std::make_unique<Glyph>();
    if (!in.U16(&version) || !in.U8(&g->advance) || !in.U8(&g->height) || !in.U8(&g->width)) {
        return false;
    }
    const size_t area = static_cast<size_t>(g->height) * g->width;
    if (area > 0) {
        const uint8_t* bits;
        uint8_t top, left;
        if (!in.Take(area, &bits) || !in.U8(&top) || !in.U8(&left) || !in.U16(&g->kerningFirst) ||
            !in.U16(&g->kerningEnd)) {
            return false;
        }
        g->bitmap.assign(bits, bits + area);
        g->top = static_cast<int8_t>(top);
        g->leftOffset = left;
    } else if (g->advance == 0) {
        g.reset();  // no glyph for this code
    }
    *out = std::move(g);
    return true;
}

}  // namespace

void Font::Clear() {
    height = ascent = descent = 0;
    glyphs_.clear();
    kerning_.clear();
}

bool Font::LoadFromMemory(const uint8_t* data, size_t size) { return Load(data, size, true); }

bool Font::LoadQuietly(const uint8_t* data, size_t size) { return Load(data, size, false); }

bool Font::Load(const uint8_t* data, size_t size, bool report) {
    Clear();
    static const char kMagic[8] = {'Q', 'F', 'O', 'N', 'T', '.', '1', '\0'};
    ByteReader in(data, size);
    const uint8_t* magic;
    uint16_t version, count, pairs;
    if (data == nullptr || !in.Take(8, &magic) || std::memcmp(magic, kMagic, 8) != 0) return false;
    uint8_t h, a, d;
    if (!in.U16(&version) || !in.U8(&h) || !in.U8(&a) || !in.U8(&d)) return false;
    if (report) std::printf("H=%u, A=%u, D=%i.\n", h, a, d);
    if (!in.U16(&count)) return false;
    if (report) std::printf("Glyph count %i.\n", count);

    std::vector<std::unique_ptr<Glyph>> glyphs;
    glyphs.reserve(std::max<size_t>(count, kGlyphSlots));
    for (unsigned i = 0; i < count; ++i) {
        std::unique_ptr<Glyph> g;
        if (!ReadGlyph(in, &g)) return false;
        glyphs.push_back(std::move(g));
    }
    if (!in.U16(&pairs)) return false;
    const uint8_t* raw;
    if (!in.Take(static_cast<size_t>(pairs) * 2, &raw)) return false;
    std::vector<KerningPair> kerning(pairs);
    for (unsigned i = 0; i < pairs; ++i) {
        kerning[i] = {raw[i * 2], static_cast<int8_t>(raw[i * 2 + 1])};
    }
    // A short table is padded with absent glyphs so that every byte value has an entry.
    glyphs.resize(std::max<size_t>(glyphs.size(), kGlyphSlots));

    height = h;
    ascent = a;
    descent = d;
    glyphs_ = std::move(glyphs);
    kerning_ = std::move(kerning);
    return true;
}

const Glyph* Font::GlyphFor(uint8_t code) const {
    return code < glyphs_.size() ? glyphs_[code].get() : nullptr;
}

int Font::Kerning(uint8_t previous, uint8_t code) const {
    const Glyph* g = GlyphFor(code);
    if (g == nullptr) return 0;
    const size_t end = std::min<size_t>(g->kerningEnd, kerning_.size());
    for (size_t i = g->kerningFirst; i < end; ++i) {
        if (kerning_[i].left == previous) return kerning_[i].adjustment;
    }
    return 0;
}

Rect TextBounds(const Font& font, const char* text) {
    if (text == nullptr || text[0] == '\0') return Rect();
    Rect box = Rect::FromEdges(0, -font.ascent, -1, (font.descent * 7) / 10);
    bool first = true;
    uint8_t previous = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const uint8_t c = static_cast<uint8_t>(*p);
        const Glyph* g = font.GlyphFor(c);
        if (g == nullptr) continue;
        box.right += (first ? 0 : font.Kerning(previous, c)) + g->advance;
        box.top = std::min<int32_t>(box.top, -g->top);
        box.bottom = std::max<int32_t>(box.bottom, g->height - g->top);
        previous = c;
        first = false;
    }
    return box;
}

}  // namespace gui
