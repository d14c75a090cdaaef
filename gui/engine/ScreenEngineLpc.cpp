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

bool ScreenEngineLpc::Begin(ScreenPort* port) {
    CommitDrawing();
    return AbstractScreenEngine::Begin(port);
}

bool ScreenEngineLpc::End() {
    CommitDrawing();
    return AbstractScreenEngine::End();
}

void ScreenEngineLpc::Touch(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const Rect r = Rect::FromEdges(left, top, right, bottom);
    drawing_ = drawing_.IsNull() ? r : Rect::Union(drawing_, r);
}

void ScreenEngineLpc::TouchClipped(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, canvas_.width - 1);
    bottom = std::min<int64_t>(bottom, canvas_.height - 1);
    if (left > right || top > bottom) return;
    Touch(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
          static_cast<int32_t>(bottom));
}

void ScreenEngineLpc::CommitDrawing() {
    if (drawing_.IsNull()) return;
    drawn_.Add(drawing_);
    drawing_ = Rect();
}

void ScreenEngineLpc::MarkDrawn(const Rect& r) { TouchClipped(r.left, r.top, r.right, r.bottom); }

void ScreenEngineLpc::SetPenColour(Colour c) {
    penColour_ = c;
    canvas_.penPixel = ToPixel(c);
}

void ScreenEngineLpc::SetFillColour(Colour c) {
    fillColour_ = c;
    canvas_.fillPixel = ToPixel(c);
}

// Every primitive clips to the canvas: a long file name or a mispositioned widget must never
// write outside the picture.
bool ScreenEngineLpc::Inside(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < canvas_.width && y < canvas_.height;
}

void ScreenEngineLpc::Plot(int32_t x, int32_t y, Pixel p) {
    if (!Inside(x, y)) return;
    *canvas_.At(x, y) = p;
    Touch(x, y, x, y);
}

void ScreenEngineLpc::FillRun(int32_t x, int32_t y, int32_t length, Pixel p) {
    if (length <= 0 || y < 0 || y >= canvas_.height) return;
    const int64_t start = std::max<int64_t>(x, 0);
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(x) + length, canvas_.width);
    if (end <= start) return;
    std::fill_n(canvas_.At(static_cast<int32_t>(start), y), end - start, p);
    Touch(static_cast<int32_t>(start), y, static_cast<int32_t>(end - 1), y);
}

void ScreenEngineLpc::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const Pixel pen = canvas_.penPixel;
    if (x0 == x1) {
        if (x0 < 0 || x0 >= canvas_.width) return;
        const int32_t top = std::max(std::min(y0, y1), 0), bottom = std::min(std::max(y0, y1), canvas_.height - 1);
        for (int32_t y = top; y <= bottom; ++y) *canvas_.At(x0, y) = pen;
        if (top <= bottom) Touch(x0, top, x0, bottom);
        return;
    }
    if (y0 == y1) {
        const int64_t left = std::max<int64_t>(std::min(x0, x1), 0);
        const int64_t right = std::min<int64_t>(std::max(x0, x1), canvas_.width - 1);
        if (left <= right) FillRun(static_cast<int32_t>(left), y0, static_cast<int32_t>(right - left + 1), pen);
        return;
    }
    // Far outside the canvas the differences need more than 32 bits.
    const int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
    // Every pixel lies between the end points, so a line with both ends on the canvas needs no
    // test per pixel.
    if (Inside(x0, y0) && Inside(x1, y1)) {
        StepLine(x0, y0, dx, dy, [this, pen](int32_t x, int32_t y) { *canvas_.At(x, y) = pen; });
        Touch(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
    } else {
        StepLine(x0, y0, dx, dy, [this, pen](int32_t x, int32_t y) { Plot(x, y, pen); });
    }
}

namespace {

// The steps k (0 to `steps`) of a line from `from` in direction `dir` that fall in [0, size).
bool StepsInside(int64_t from, int64_t dir, int64_t steps, int64_t size, int64_t* first, int64_t* last) {
    *first = dir > 0 ? std::max<int64_t>(0, -from) : std::max<int64_t>(0, from - (size - 1));
    *last = dir > 0 ? std::min<int64_t>(steps, size - 1 - from) : std::min<int64_t>(steps, from);
    return *first <= *last;
}

}  // namespace

template <typename PlotFn>
void ScreenEngineLpc::StepLine(int32_t x0, int32_t y0, int64_t dx, int64_t dy, PlotFn plot) {
    // One pixel per step along the longer axis; the other coordinate in 16.16 fixed point from
    // the pixel centre. Steps off the canvas along the longer axis are jumped over: the
    // coordinate after k steps is the start plus k slopes exactly.
    int64_t first = 0, last = 0;
    if (std::abs(dy) > std::abs(dx)) {
        const int64_t slope = static_cast<int32_t>((dx * 65536) / dy);
        const int64_t dir = dy > 0 ? 1 : -1;
        if (!StepsInside(y0, dir, std::abs(dy), canvas_.height, &first, &last)) return;
        int64_t x = static_cast<int64_t>(x0) * 65536 + 32768 + first * slope * dir;
        for (int64_t k = first; k <= last; ++k, x += slope * dir) {
            plot(static_cast<int32_t>(x >> 16), static_cast<int32_t>(y0 + k * dir));
        }
    } else {
        const int64_t slope = static_cast<int32_t>((dy * 65536) / dx);
        const int64_t dir = dx > 0 ? 1 : -1;
        if (!StepsInside(x0, dir, std::abs(dx), canvas_.width, &first, &last)) return;
        int64_t y = static_cast<int64_t>(y0) * 65536 + 32768 + first * slope * dir;
        for (int64_t k = first; k <= last; ++k, y += slope * dir) {
            plot(static_cast<int32_t>(x0 + k * dir), static_cast<int32_t>(y >> 16));
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
        Plot(cx + px, cy + py, pen);
        Plot(cx - px, cy + py, pen);
        Plot(cx - px, cy - py, pen);
        Plot(cx + px, cy - py, pen);
    };
    // With no radius at all the first region would never end: the ellipse is its centre.
    if (rx == 0 && ry == 0) {
        Plot(cx, cy, pen);
        return;
    }
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

bool ScreenEngineLpc::ClipBlock(int32_t x, int32_t y, int32_t width, int32_t height, Rect* out) const {
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, canvas_.width) - 1;
    const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + height, canvas_.height) - 1;
    if (right < left || bottom < top) return false;
    *out = Rect::FromEdges(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                           static_cast<int32_t>(bottom));
    return true;
}

void ScreenEngineLpc::DrawImage(int32_t x, int32_t y, const Image& image) {
    Rect area;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<size_t>(image.width) * image.height ||
        !ClipBlock(x, y, image.width, image.height, &area)) {
        return;
    }
    for (int32_t ty = area.top; ty <= area.bottom; ++ty) {
        const uint32_t* src = image.pixels.data() + static_cast<size_t>(ty - y) * image.width + (area.left - x);
        Pixel* dst = canvas_.At(area.left, ty);
        for (int32_t c = 0; c < area.Width(); ++c) dst[c] = Blend(src[c], dst[c]);
    }
    Touch(area);
}

void ScreenEngineLpc::DrawPixmap(int32_t x, int32_t y, const Pixmap16& pixmap) {
    Rect area;
    if (pixmap.width <= 0 || pixmap.height <= 0 ||
        pixmap.pixels.size() < static_cast<size_t>(pixmap.width) * pixmap.height ||
        !ClipBlock(x, y, pixmap.width, pixmap.height, &area)) {
        return;
    }
    for (int32_t ty = area.top; ty <= area.bottom; ++ty) {
        const Pixel* src = pixmap.pixels.data() + static_cast<size_t>(ty - y) * pixmap.width + (area.left - x);
        std::memcpy(canvas_.At(area.left, ty), src, static_cast<size_t>(area.Width()) * 2);
    }
    Touch(area);
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
        if (g->width > 0 && g->height > 0) {
            // The glyph's whole box: a few untouched pixels in it only cost a few bytes copied.
            int64_t left = px, top = static_cast<int64_t>(y) - g->top;
            int64_t right = left + g->width - 1, bottom = top + g->height - 1;
            if (clip != nullptr) {
                // Corners given the wrong way round clip as Contains reads them.
                const int32_t cl = std::min(clip->left, clip->right), cr = std::max(clip->left, clip->right);
                const int32_t ct = std::min(clip->top, clip->bottom), cb = std::max(clip->top, clip->bottom);
                left = std::max<int64_t>(left, cl);
                top = std::max<int64_t>(top, ct);
                right = std::min<int64_t>(right, cr);
                bottom = std::min<int64_t>(bottom, cb);
            }
            TouchClipped(left, top, right, bottom);
        }
        for (int32_t r = 0; r < g->height; ++r) {
            const int32_t ty = y - g->top + r;
            for (int32_t k = 0; k < g->width; ++k) {
                const uint8_t a = *coverage++;
                if (a == 0) continue;
                const int32_t tx = px + k;
                if (!Inside(tx, ty) || (clip != nullptr && !clip->Contains(tx, ty))) continue;
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
    if (!Inside(x, y)) return;
    Pixel* d = canvas_.At(x, y);
    *d = Blend(c, *d);
    Touch(x, y, x, y);
}

void ScreenEngineLpc::WritePixels(int32_t x, int32_t y, const Pixel* words, int count) {
    Rect area;
    if (count <= 0 || !ClipBlock(x, y, count, 1, &area)) return;
    std::memcpy(canvas_.At(area.left, y), words + (area.left - x), static_cast<size_t>(area.Width()) * 2);
    Touch(area);
}

DirtyRegion ScreenEngineLpc::Flush() {
    CommitDrawing();
    DirtyRegion copied = drawn_;
    drawn_.Clear();
    if (canvas_.framebuffer == nullptr) return DirtyRegion();
    for (const Rect& r : copied) {
        if (canvas_.framebufferStride == canvas_.width && r.left == 0 && r.right == canvas_.width - 1) {
            // Whole rows of a packed framebuffer: one block.
            std::memcpy(canvas_.framebuffer + static_cast<size_t>(r.top) * canvas_.width, canvas_.Row(r.top),
                        static_cast<size_t>(r.Height()) * canvas_.width * 2);
            continue;
        }
        for (int32_t y = r.top; y <= r.bottom; ++y) {
            std::memcpy(canvas_.framebuffer + static_cast<size_t>(y) * canvas_.framebufferStride + r.left,
                        canvas_.At(r.left, y), static_cast<size_t>(r.Width()) * 2);
        }
    }
    return copied;
}

}  // namespace gui
