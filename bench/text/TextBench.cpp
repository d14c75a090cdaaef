// One typical line of text in the built-in font, beside the floor of copying the same glyph
// bitmaps with memcpy. Items per second are glyphs.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "gui/engine/Font.h"
#include "gui/engine/ScreenEngineLpc.h"
#include "gui/engine/data/BuiltinFont.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 480;
const char kLine[] = "Update file checksum ERROR. 42";  // 30 characters

struct Screen {
    std::vector<gui::Pixel> framebuffer = std::vector<gui::Pixel>(kWidth * kHeight);
    gui::ScreenEngineLpc engine{framebuffer.data(), kWidth, kHeight, kWidth * 2};
    Screen() {
        engine.RegisterFont(0, gui::LoadBuiltinFont());
        engine.SelectFont(0);
        engine.SetPenColour(0xFFFFFFFF);
    }
};

void DrawTextLine(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        s.engine.DrawText(10, 40, kLine, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (sizeof(kLine) - 1));
}
BENCHMARK(DrawTextLine);

// The same glyph bitmaps copied into a buffer, as the floor of touching their bytes.
void CopyGlyphBitmaps(benchmark::State& state) {
    Screen s;
    std::vector<const gui::Glyph*> glyphs;
    size_t bytes = 0;
    for (const char* p = kLine; *p != '\0'; ++p) {
        const gui::Glyph* g = s.engine.CurrentFont()->GlyphFor(static_cast<uint8_t>(*p));
        if (g == nullptr) continue;
        glyphs.push_back(g);
        bytes += g->bitmap.size();
    }
    std::vector<uint8_t> target(bytes);
    for (auto _ : state) {
        uint8_t* out = target.data();
        for (const gui::Glyph* g : glyphs) {
            if (!g->bitmap.empty()) std::memcpy(out, g->bitmap.data(), g->bitmap.size());
            out += g->bitmap.size();
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (sizeof(kLine) - 1));
}
BENCHMARK(CopyGlyphBitmaps);

}  // namespace

BENCHMARK_MAIN();
