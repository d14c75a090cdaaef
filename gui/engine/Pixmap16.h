#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gui/engine/Colour.h"
#include "gui/engine/Image.h"
#include "gui/engine/PackedPixmap.h"
#include "gui/engine/Point.h"

namespace gui {

// A picture in the display's own RGB565 format (row-major, no padding).
//
// Run-length-encoded data is a sequence of packets of 16-bit units, each led by a signed header
// e: e < 0 is a run (the next word repeated e & 0x7FFF times), e >= 0 a literal (the next e
// words). Packets may cross rows; decoding stops once width x height pixels are made.
class Pixmap16 {
public:
    Pixmap16() = default;
    // Pixels start black.
    explicit Pixmap16(const Size& size);
    // data holds `words` 16-bit units: raw pixels, or packets when compressed. Decoding never
    // reads past them nor writes past the last pixel: a packet that overruns the picture is cut,
    // data that ends early leaves the remaining pixels black.
    Pixmap16(const Size& size, const uint16_t* data, size_t words, bool compressed);
    explicit Pixmap16(const PackedPixmap& packed);

    void Fill(Pixel pixel);
    // Alpha-composites the image with its top-left corner at origin. False (with its console
    // line) when the origin is negative or the image does not fit; the pixmap is then unchanged.
    bool DrawImage(const Point& origin, const Image& image);
    // Copies the other pixmap in with its top-left corner at origin; refused like DrawImage.
    bool DrawPixmap(const Point& origin, const Pixmap16& pixmap);

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels;  // empty when width or height is not positive

private:
    void Decode(const uint16_t* data, size_t words);
    // Prints the refusal line when a width x height block at origin is not inside this pixmap.
    bool Fits(const Point& origin, int32_t w, int32_t h, const char* tooBig) const;
};

}  // namespace gui
