// Arbitrary bytes as a font image, then measured and drawn with text taken from the same bytes.
// The loader must fail cleanly on anything that is not a whole image, and nothing may read or
// write outside the font's tables or the canvas.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/engine/Font.h"
#include "gui/engine/ScreenEngineLpc.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::freopen("/dev/null", "w", stdout);  // the loader's two lines, thousands of times
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto font = std::make_unique<gui::Font>();
    font->LoadFromMemory(data, size);
    // The text: the last bytes of the input, up to 40.
    const size_t n = size < 40 ? size : 40;
    std::string text(reinterpret_cast<const char*>(data + size - n), n);
    text = text.substr(0, text.find('\0'));
    gui::TextBounds(*font, text.c_str());

    std::vector<gui::Pixel> framebuffer(64 * 32);
    gui::ScreenEngineLpc engine(framebuffer.data(), 64, 32, 0);
    engine.RegisterFont(0, std::move(font));
    engine.SelectFont(0);
    engine.SetPenColour(0xFFFFFFFF);
    const gui::Rect clip = gui::Rect::FromEdges(2, 2, 60, 28);
    engine.DrawText(-5, 20, text.c_str(), nullptr);
    engine.DrawText(10, 10, text.c_str(), &clip);
    return 0;
}
