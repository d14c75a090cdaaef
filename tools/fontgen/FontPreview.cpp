// tovrask-fontpreview: the built-in font on an 800 x 480 screen, as a PNG.
//
//   tovrask-fontpreview [--font IMAGE] [--zoom N] [--area X,Y,W,H] OUTPUT.png
//
// Draws the menu texts, every printable character and the symbols in the device's colour
// schemes through the real engine. --font shows another "QFONT.1" image (as tovrask-fontgen
// --image writes it) instead of the committed one; --zoom enlarges every pixel N times and
// --area keeps only part of the screen, to look at single pixels.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gui/engine/Painter.h"
#include "gui/engine/ScreenEngineLpc.h"
#include "gui/engine/data/BuiltinFont.h"
#include "platform/PngWriter.h"

namespace {

using gui::Colour;
using gui::Painter;
using gui::Rect;

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 480;

struct Scheme {
    Colour ink, paper;
};
constexpr Scheme kWhiteOnBlack = {0xFFFFFFFF, 0xFF000000};
constexpr Scheme kBlackOnWhite = {0xFF000000, 0xFFFFFFFF};
constexpr Scheme kYellowOnGrey = {0xFFFFFF00, 0xFF404040};

// Lines of text one under the other, the line height apart, in a band of the scheme's colour.
class Band {
public:
    Band(Painter& p, const Rect& area, Scheme s) : p_(p), x_(area.left + 8), y_(area.top + 4) {
        p.SetPenColour(gui::ColourNone);
        p.SetFillColour(s.paper);
        p.DrawRect(area, 0, 0);
        p.SetPenColour(s.ink);
    }
    void Line(const std::string& text) { Line(x_, text); }
    void Line(int32_t x, const std::string& text) {
        p_.DrawTextAt(x, y_, 0, 0, text.c_str());
        y_ += p_.CurrentFont()->height;
    }
    void Column(int32_t x) { x_ = x; }
    void Row(int32_t y) { y_ = y; }
    int32_t Y() const { return y_; }

private:
    Painter& p_;
    int32_t x_, y_;
};

std::string Range(int first, int last) {
    std::string s;
    for (int c = first; c <= last; ++c)
        s += static_cast<char>(c);
    return s;
}

void DrawSheet() {
    gui::ScreenPort port;
    port.rect = Rect(0, 0, kWidth, kHeight);
    Painter p(&port);
    p.SelectFont(0);

    Band menu(p, Rect(0, 0, 400, 112), kWhiteOnBlack);
    for (const char* t : {"Boot options", "Start Normally", "Update", "System Reset", "ERROR."}) {
        menu.Line(t);
    }
    Band wait(p, Rect(400, 0, 400, 112), kBlackOnWhite);
    for (const char* t : {"Waiting for external", "media device...", "Update file checksum",
                          "Boot options", "ERROR."}) {
        wait.Line(t);
    }
    Band entry(p, Rect(0, 112, 800, 52), kYellowOnGrey);
    entry.Line("Password");
    entry.Row(entry.Y() - p.CurrentFont()->height);
    // The edit box: typed characters followed by the end marker (code 2).
    entry.Line(110, "3A7F\x02");
    entry.Row(entry.Y() - p.CurrentFont()->height);
    entry.Line(220, "0123456789ABCDEF   Update file checksum \x01   \xB0\xB1\xB2");
    entry.Line(
        "Temperature 21\xB0"
        "C \xB1"
        "0.5   Area 4 m\xB2   ERROR. \x0F \x03");

    const Scheme schemes[] = {kWhiteOnBlack, kBlackOnWhite, kYellowOnGrey};
    const std::string symbols = [] {
        std::string s;
        for (int c = 1; c < 32; ++c) {
            s += static_cast<char>(c);
            s += ' ';
        }
        return s;
    }();
    for (int i = 0; i < 3; ++i) {
        Band all(p, Rect(0, 164 + i * 105, 800, 105), schemes[i]);
        all.Line(Range(32, 63));
        all.Line(Range(64, 95));
        all.Line(Range(96, 126) + " \xB0\xB1\xB2");
        all.Line(symbols + "AB|gjpqy()");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string fontPath, output;
    int zoom = 1;
    Rect area(0, 0, kWidth, kHeight);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc) {
            fontPath = argv[++i];
        } else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc) {
            zoom = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--area") == 0 && i + 1 < argc) {
            int x, y, w, h;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &x, &y, &w, &h) != 4)
                x = -1;
            area = Rect(x, y, w, h);
        } else if (argv[i][0] != '-' && output.empty()) {
            output = argv[i];
        } else {
            output.clear();
            break;
        }
    }
    if (output.empty() || zoom < 1 || zoom > 8 || area.left < 0 || area.top < 0 ||
        area.Width() < 1 || area.Height() < 1 || area.right >= kWidth || area.bottom >= kHeight) {
        std::fprintf(stderr,
                     "usage: tovrask-fontpreview [--font IMAGE] [--zoom N] [--area X,Y,W,H] "
                     "OUTPUT.png\n");
        return 2;
    }
    std::vector<uint8_t> image(gui::kBuiltinFont, gui::kBuiltinFont + gui::kBuiltinFontSize);
    if (!fontPath.empty()) {
        std::ifstream in(fontPath, std::ios::binary);
        image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<uint16_t> framebuffer(static_cast<size_t>(kWidth) * kHeight);
    gui::ScreenEngineLpc engine(framebuffer.data(), kWidth, kHeight, 0);
    gui::SetEngine(&engine);
    auto font = std::make_unique<gui::Font>();
    if (!font->LoadFromMemory(image.data(), image.size())) {
        std::fprintf(stderr, "tovrask-fontpreview: not a font image\n");
        return 1;
    }
    engine.RegisterFont(0, std::move(font));
    DrawSheet();

    const int32_t w = area.Width() * zoom, h = area.Height() * zoom;
    std::vector<uint16_t> picture(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            picture[static_cast<size_t>(y) * w + x] =
                *engine.Canvas().At(area.left + x / zoom, area.top + y / zoom);
        }
    }
    if (!platform::WriteRgb565Png(output, reinterpret_cast<const uint8_t*>(picture.data()), w, h,
                                  w * 2)) {
        std::fprintf(stderr, "tovrask-fontpreview: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
