#include "tools/artwork/ArtCanvas.h"

#include <algorithm>
#include <cmath>

#include "gui/engine/Colour.h"

namespace artwork {

namespace {

constexpr int kSamples = 8;  // per pixel, in each direction

uint8_t Channel(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

}  // namespace

ArtCanvas::ArtCanvas(int width, int height, double scale)
    : width_(width), height_(height), scale_(scale), pixels_(static_cast<size_t>(width) * height) {}

void ArtCanvas::Over(int x, int y, uint32_t rgb, double alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0)
        return;
    Sample& p = pixels_[static_cast<size_t>(y) * width_ + x];
    const double keep = 1 - alpha;
    p.r = (rgb >> 16 & 0xFF) * alpha + p.r * keep;
    p.g = (rgb >> 8 & 0xFF) * alpha + p.g * keep;
    p.b = (rgb & 0xFF) * alpha + p.b * keep;
    p.a = alpha + p.a * keep;
}

void ArtCanvas::Paint(const Shape& shape, uint32_t rgb, double opacity) {
    Paint(shape, rgb, [opacity](double, double) { return opacity; });
}

void ArtCanvas::Paint(const Shape& shape, uint32_t rgb,
                      const std::function<double(double, double)>& opacity) {
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.left * scale_)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.top * scale_)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(shape.right * scale_)) + 1);
    const int y1 = std::min(height_, static_cast<int>(std::ceil(shape.bottom * scale_)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int in = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double dx = (x + (sx + 0.5) / kSamples) / scale_;
                    const double dy = (y + (sy + 0.5) / kSamples) / scale_;
                    in += shape.inside(dx, dy) ? 1 : 0;
                }
            }
            if (in > 0) {
                const double cover = static_cast<double>(in) / (kSamples * kSamples);
                Over(x, y, rgb, cover * opacity((x + 0.5) / scale_, (y + 0.5) / scale_));
            }
        }
    }
}

void ArtCanvas::Text(typeface::TypefaceRasterizer& face, const std::string& text, double x,
                     double baseline, double size, double tracking, uint32_t rgb, Align align) {
    face.SetPixelSize(static_cast<int>(std::lround(size * scale_)));
    std::vector<typeface::GlyphImage> glyphs;
    double width = 0;
    for (char c : text) {
        typeface::GlyphImage g;
        int shifted = 0;
        face.Render(static_cast<unsigned char>(c), &g, &shifted);
        glyphs.push_back(g);
    }
    // From the first pen position to the last ink.
    std::vector<double> pens;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        pens.push_back(width);
        width += glyphs[i].advance + tracking * scale_;
    }
    if (!glyphs.empty())
        width = pens.back() + glyphs.back().width;
    double pen = x * scale_;
    if (align == Align::kCentre)
        pen -= width / 2;
    if (align == Align::kRight)
        pen -= width;
    const int base = static_cast<int>(std::lround(baseline * scale_));
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const typeface::GlyphImage& g = glyphs[i];
        const int left = static_cast<int>(std::lround(pen + pens[i]));
        for (int row = 0; row < g.height; ++row) {
            for (int col = 0; col < g.width; ++col)
                Over(left + col, base - g.top + row, rgb, g.At(col, row) / 255.0);
        }
    }
}

std::vector<uint16_t> ArtCanvas::Rgb565() const {
    std::vector<uint16_t> out;
    out.reserve(pixels_.size());
    for (const Sample& p : pixels_) {
        out.push_back(gui::ToPixel(static_cast<uint32_t>(Channel(p.r)) << 16 |
                                   static_cast<uint32_t>(Channel(p.g)) << 8 | Channel(p.b)));
    }
    return out;
}

gui::Image ArtCanvas::Argb() const {
    gui::Image image;
    image.width = width_;
    image.height = height_;
    for (const Sample& p : pixels_) {
        const uint8_t a = Channel(p.a * 255);
        const double un = p.a > 0 ? 1 / p.a : 0;
        image.pixels.push_back(a == 0 ? 0
                                      : static_cast<uint32_t>(a) << 24 |
                                            static_cast<uint32_t>(Channel(p.r * un)) << 16 |
                                            static_cast<uint32_t>(Channel(p.g * un)) << 8 |
                                            Channel(p.b * un));
    }
    return image;
}

}  // namespace artwork
