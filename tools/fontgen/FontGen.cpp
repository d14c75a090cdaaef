// tovrask-fontgen: makes the built-in font from a scalable typeface.
//
//   tovrask-fontgen [--typeface FILE.ttf] [--image FILE] OUTPUT.cpp
//
// Writes the "QFONT.1" image as the C++ source of gui::kBuiltinFont (and, with --image, the bare
// image too). The line metrics and the space are fixed by the device's layouts; the letters come
// from the typeface at the largest pixel size that gives 'A' and 'B' an advance of 13; the
// symbols of the control range are drawn here.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/common/OutputFile.h"
#include "tools/fontgen/FontImage.h"
#include "tools/fontgen/SymbolPainter.h"
#include "tools/typeface/TypefaceRasterizer.h"

namespace {

using fontgen::FontImage;
using fontgen::GlyphImage;

constexpr char kDefaultTypeface[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kHeight = 22;
constexpr int kAscent = 17;
constexpr int kDescent = 5;
constexpr int kSpaceAdvance = 7;
constexpr int kLetterAdvance = 13;  // of 'A' and 'B': the layouts are measured with it
constexpr int kMaxWidth = 31;
constexpr int kMaxHeight = 21;

int Usage() {
    std::fprintf(stderr,
                 "usage: tovrask-fontgen [--typeface FILE.ttf] [--image FILE] OUTPUT.cpp\n");
    return 2;
}

// Width of the strokes of 'l' at its middle row, in pixels.
double StemWidth(const GlyphImage& l) {
    if (l.height == 0)
        return 1;
    int sum = 0;
    for (int x = 0; x < l.width; ++x)
        sum += l.At(x, l.height / 2);
    return sum / 255.0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string typeface = kDefaultTypeface, imagePath, output;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--typeface") == 0 && i + 1 < argc) {
            typeface = argv[++i];
        } else if (std::strcmp(argv[i], "--image") == 0 && i + 1 < argc) {
            imagePath = argv[++i];
        } else if (argv[i][0] != '-' && output.empty()) {
            output = argv[i];
        } else {
            return Usage();
        }
    }
    if (output.empty())
        return Usage();

    typeface::TypefaceRasterizer rasterizer;
    std::string error;
    if (!rasterizer.Open(typeface, &error)) {
        std::fprintf(stderr, "tovrask-fontgen: %s\n", error.c_str());
        return 1;
    }
    const int pixels = rasterizer.PickPixelSize('A', 'B', kLetterAdvance, 8, 40);
    if (pixels == 0) {
        std::fprintf(stderr, "tovrask-fontgen: no size gives 'A' and 'B' an advance of %d\n",
                     kLetterAdvance);
        return 1;
    }

    FontImage font;
    font.height = kHeight;
    font.ascent = kAscent;
    font.descent = kDescent;
    font.glyphs[' '].advance = kSpaceAdvance;
    std::vector<int> letters;
    for (int c = 33; c <= 126; ++c)
        letters.push_back(c);
    for (int c : {176, 177, 178})
        letters.push_back(c);  // degree, plus-minus, superscript two
    for (int c : letters) {
        int shifted = 0;
        if (!rasterizer.Render(static_cast<uint32_t>(c), &font.glyphs[c], &shifted)) {
            std::fprintf(stderr, "tovrask-fontgen: %s has no glyph for %d\n",
                         rasterizer.Name().c_str(), c);
            return 1;
        }
        if (shifted != 0) {
            std::fprintf(stderr,
                         "tovrask-fontgen: glyph %d: moved right %d (ink left of the pen);\n", c,
                         shifted);
        }
    }
    fontgen::SymbolPainter symbols(font.glyphs['H'].top, StemWidth(font.glyphs['l']));
    for (int c : fontgen::SymbolPainter::Codes()) {
        if (!symbols.Draw(c, &font.glyphs[c])) {
            std::fprintf(stderr, "tovrask-fontgen: no drawing for symbol %d\n", c);
            return 1;
        }
    }

    for (int c = 0; c < 256; ++c) {
        const std::string done =
            fontgen::FitGlyph(&font.glyphs[c], kAscent, kDescent, kMaxWidth, kMaxHeight);
        if (!done.empty())
            std::fprintf(stderr, "tovrask-fontgen: glyph %d:%s\n", c, done.c_str());
    }

    const std::vector<uint8_t> image = font.Serialise();
    const std::string origin = "// " + rasterizer.Name() + " at " + std::to_string(pixels) +
                               " pixels, hinted and anti-aliased by FreeType;\n"
                               "// the symbols of codes 1 to 31 are drawn by the generator.\n";
    const std::string source = fontgen::CppSource(font, image, origin);
    if (!tools::WriteOutputFile(output, source.data(), source.size()) ||
        (!imagePath.empty() && !tools::WriteOutputFile(imagePath, image.data(), image.size()))) {
        std::fprintf(stderr, "tovrask-fontgen: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s at %d pixels: %zu bytes\n", rasterizer.Name().c_str(), pixels, image.size());
    return 0;
}
