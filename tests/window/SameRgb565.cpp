// same-rgb565 [--scale N] WINDOW.png SCREEN.png: 0 when the top-left corner of the window's
// capture shows the screen pixel for pixel, each screen pixel as N x N window pixels, compared as
// the panel's RGB565 (the window may widen 5 and 6 bits to 8 in its own way); else 1 with the
// first difference.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/PngFile.h"

namespace {

uint32_t Rgb565(uint32_t rgb) { return (rgb >> 8 & 0xF800) | (rgb >> 5 & 0x07E0) | (rgb >> 3 & 0x001F); }

}  // namespace

int main(int argc, char** argv) {
    int scale = 1;
    if (argc == 5 && std::strcmp(argv[1], "--scale") == 0) {
        scale = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc != 3 || scale < 1) {
        std::fputs("usage: same-rgb565 [--scale N] WINDOW.png SCREEN.png\n", stderr);
        return 2;
    }
    testsupport::PngFile window, screen;
    if (!window.Load(argv[1]) || !screen.Load(argv[2])) {
        std::fprintf(stderr, "same-rgb565: cannot read %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    if (window.width < screen.width * scale || window.height < screen.height * scale) {
        std::fprintf(stderr, "same-rgb565: the window (%dx%d) is smaller than the screen (%dx%d) times %d\n",
                     window.width, window.height, screen.width, screen.height, scale);
        return 1;
    }
    for (int y = 0; y < screen.height * scale; ++y) {
        for (int x = 0; x < screen.width * scale; ++x) {
            const uint32_t shown = Rgb565(window.At(x, y)), flushed = Rgb565(screen.At(x / scale, y / scale));
            if (shown != flushed) {
                std::fprintf(stderr, "same-rgb565: at (%d, %d) the window shows %04X, the screen %04X\n", x, y, shown,
                             flushed);
                return 1;
            }
        }
    }
    return 0;
}
