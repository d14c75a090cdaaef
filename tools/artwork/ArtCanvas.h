#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/engine/Image.h"
#include "tools/artwork/Shape.h"
#include "tools/typeface/TypefaceRasterizer.h"

namespace artwork {

// A picture being drawn: colour and coverage per pixel, premultiplied, transparent at first.
// Shapes are in design units, which `scale` turns into pixels, so one description draws a
// picture at several sizes. Edges are anti-aliased with 8 x 8 samples a pixel.
class ArtCanvas {
public:
    ArtCanvas(int width, int height, double scale);

    int Width() const { return width_; }
    int Height() const { return height_; }
    double Scale() const { return scale_; }

    // Paints the shape in 0xRRGGBB; opacity may vary over the plane (design units).
    void Paint(const Shape& shape, uint32_t rgb, double opacity = 1);
    void Paint(const Shape& shape, uint32_t rgb,
               const std::function<double(double, double)>& opacity);

    enum class Align { kLeft, kCentre, kRight };
    // Sets a line of text in the typeface at `size` pixels (before scaling), `tracking` design
    // units between letters; x is where the line starts, centres or ends.
    void Text(typeface::TypefaceRasterizer& face, const std::string& text, double x,
              double baseline, double size, double tracking, uint32_t rgb, Align align);

    // RGB565 as it shows on black.
    std::vector<uint16_t> Rgb565() const;
    // 0xAARRGGBB, not premultiplied.
    gui::Image Argb() const;

private:
    struct Sample {
        double r = 0, g = 0, b = 0, a = 0;
    };
    void Over(int x, int y, uint32_t rgb, double alpha);

    int width_, height_;
    double scale_;
    std::vector<Sample> pixels_;
};

}  // namespace artwork
