#include "gui/engine/ScreenEngineLpc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>


namespace gui {

ScreenEngineLpc::ScreenEngineLpc(void* framebuffer, int32_t width, int32_t height,
                                 int32_t lineLengthBytes) {
    canvas_.framebuffer = static_cast<Pixel*>(framebuffer);
    canvas_.width = width;
    canvas_.height = height;
    canvas_.framebufferStride = lineLengthBytes != 0 ? lineLengthBytes / 2 : width;
    canvas_.size = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 2;
    canvas_.buffer.resize(static_cast<size_t>(width) * height);
    for (int32_t r = 0; r < height && canvas_.framebuffer != nullptr; ++r) {
        std::memcpy(canvas_.Row(r), canvas_.framebuffer + static_cast<size_t>(r) * canvas_.framebufferStride,
                    static_cast<size_t>(width) * 2);
    }
    canvas_.penPixel = 0x0000;
    canvas_.fillPixel = 0xFFFF;
}

void ScreenEngineLpc::SetPenColour(Colour c) {
    penColour_ = c;
    canvas_.penPixel = ToPixel(c);
}

void ScreenEngineLpc::SetFillColour(Colour c) {
    fillColour_ = c;
    canvas_.fillPixel = ToPixel(c);
}

void ScreenEngineLpc::FillRun(int32_t x, int32_t y, int32_t length, Pixel p) {
    if (length <= 0) return;
    std::fill_n(canvas_.At(x, y), length, p);
}

void ScreenEngineLpc::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const Pixel pen = canvas_.penPixel;
    if (x0 == x1) {
        for (int32_t y = std::min(y0, y1); y <= std::max(y0, y1); ++y) *canvas_.At(x0, y) = pen;
        return;
    }
    if (y0 == y1) {
        FillRun(std::min(x0, x1), y0, std::abs(x1 - x0) + 1, pen);
        return;
    }
    const int32_t dx = x1 - x0, dy = y1 - y0;
    if (std::abs(dy) > std::abs(dx)) {
        // Steep: one pixel per row, x in 16.16 fixed point from the pixel centre.
        const int32_t slope = static_cast<int32_t>((static_cast<int64_t>(dx) * 65536) / dy);
        const int32_t dir = dy > 0 ? 1 : -1;
        int32_t x = x0 * 65536 + 32768;
        for (int32_t y = y0;; y += dir) {
            *canvas_.At(x >> 16, y) = pen;
            if (y == y1) break;
            x += slope * dir;
        }
    } else {
        const int32_t slope = static_cast<int32_t>((static_cast<int64_t>(dy) * 65536) / dx);
        const int32_t dir = dx > 0 ? 1 : -1;
        int32_t y = y0 * 65536 + 32768;
        for (int32_t x = x0;; x += dir) {
            *canvas_.At(x, y >> 16) = pen;
            if (x == x1) break;
            y += slope * dir;
        }
    }
}

void ScreenEngineLpc::DrawSpans(const Span* spans, int count) {
    const bool pen = penColour_ != ColourNone, fill = fillColour_ != ColourNone;
    for (int i = 0; i < count; ++i) {
        const Span& s = spans[i];
        int32_t x = s.x;
        if (pen) FillRun(x, s.y, s.leftBorder, canvas_.penPixel);
        x += std::max(s.leftBorder, 0);
        if (fill) FillRun(x, s.y, s.interior, canvas_.fillPixel);
        x += std::max(s.interior, 0);
        if (pen) FillRun(x, s.y, s.rightBorder, canvas_.penPixel);
    }
}

void ScreenEngineLpc::DrawEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
    const Pixel pen = canvas_.penPixel;
    auto plot = [&](int64_t x, int64_t y) {
        const int32_t px = static_cast<int32_t>(x), py = static_cast<int32_t>(y);
        *canvas_.At(cx + px, cy + py) = pen;
        *canvas_.At(cx - px, cy + py) = pen;
        *canvas_.At(cx - px, cy - py) = pen;
        *canvas_.At(cx + px, cy - py) = pen;
    };
    const int64_t rx2 = static_cast<int64_t>(rx) * rx, ry2 = static_cast<int64_t>(ry) * ry;
    // Region 1: the flatter part, stepping y.
    int64_t x = rx, y = 0, error = 0;
    int64_t xChange = ry2 * (1 - 2 * static_cast<int64_t>(rx)), yChange = rx2;
    while (2 * ry2 * x >= 2 * rx2 * y) {
        plot(x, y);
        y += 1;
        error += yChange;
        yChange += 2 * rx2;
        if (2 * error + xChange > 0) {
            x -= 1;
            error += xChange;
            xChange += 2 * ry2;
        }
    }
    // Region 2: the steeper part, stepping x.
    x = 0;
    y = ry;
    error = 0;
    xChange = ry2;
    yChange = rx2 * (1 - 2 * static_cast<int64_t>(ry));
    while (2 * rx2 * y >= 2 * ry2 * x) {
        plot(x, y);
        x += 1;
        error += xChange;
        xChange += 2 * ry2;
        if (2 * error + yChange > 0) {
            y -= 1;
            error += yChange;
            yChange += 2 * rx2;
        }
    }
}

void ScreenEngineLpc::DrawImage(int32_t x, int32_t y, const Image& image) {
    if (image.width <= 0 || image.height <= 0) return;
    const uint32_t* src = image.pixels.data();
    for (int32_t r = 0; r < image.height; ++r) {
        Pixel* dst = canvas_.At(x, y + r);
        for (int32_t c = 0; c < image.width; ++c) dst[c] = Blend(*src++, dst[c]);
    }
}

void ScreenEngineLpc::DrawPixmap(int32_t x, int32_t y, const Pixmap16& pixmap) {
    if (pixmap.width <= 0 || pixmap.height <= 0) return;
    for (int32_t r = 0; r < pixmap.height; ++r) {
        std::memcpy(canvas_.At(x, y + r), pixmap.pixels.data() + static_cast<size_t>(r) * pixmap.width,
                    static_cast<size_t>(pixmap.width) * 2);
    }
}

void ScreenEngineLpc::DrawText(int32_t x, int32_t y, const char* text, const Rect* clip) {
    const Font* font = currentFont_;
    if (text == nullptr || text[0] == '\0' || font == nullptr) return;
    // The pen's own alpha is ignored: coverage is the alpha.
    const uint32_t rgb = ToRgb888(canvas_.penPixel);
    int32_t px = x;
    bool first = true;
    uint8_t previous = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const uint8_t c = static_cast<uint8_t>(*p);
        const Glyph* g = font->GlyphFor(c);
        if (g == nullptr) continue;
        if (!first) px += font->Kerning(previous, c);
        const uint8_t* coverage = g->bitmap.data();
        for (int32_t r = 0; r < g->height; ++r) {
            const int32_t ty = y - g->top + r;
            for (int32_t k = 0; k < g->width; ++k) {
                const uint8_t a = *coverage++;
                if (a == 0) continue;
                const int32_t tx = px + k;
                if (clip != nullptr && !clip->Contains(tx, ty)) continue;
                Pixel* d = canvas_.At(tx, ty);
                *d = BlendRgb(rgb, a, *d);
            }
        }
        px += g->advance;
        previous = c;
        first = false;
    }
}

void ScreenEngineLpc::DrawPixel(int32_t x, int32_t y, Colour c) {
    Pixel* d = canvas_.At(x, y);
    *d = Blend(c, *d);
}

void ScreenEngineLpc::WritePixels(int32_t x, int32_t y, const Pixel* words, int count) {
    if (count <= 0) return;
    std::memcpy(canvas_.At(x, y), words, static_cast<size_t>(count) * 2);
}

void ScreenEngineLpc::Flush() {
    if (canvas_.framebuffer == nullptr) return;
    if (canvas_.framebufferStride == canvas_.width) {
        std::memcpy(canvas_.framebuffer, canvas_.buffer.data(), canvas_.size);
    } else {
        for (int32_t r = 0; r < canvas_.height; ++r) {
            std::memcpy(canvas_.framebuffer + static_cast<size_t>(r) * canvas_.framebufferStride,
                        canvas_.Row(r), static_cast<size_t>(canvas_.width) * 2);
        }
    }
}

}  // namespace gui
