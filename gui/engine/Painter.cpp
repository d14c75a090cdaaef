#include "gui/engine/Painter.h"

#include <algorithm>
#include <cmath>

#include "gui/engine/DrawingScratch.h"

namespace gui {

Painter::Painter(ScreenPort* port) : engine_(Engine()) {
    DrawingScratch::Shared();
    engine_->Begin(port);
}

Painter::~Painter() { engine_->End(); }

void Painter::DrawFrame(const Rect& r) {
    engine_->DrawLine(r.left, r.top, r.right, r.top);
    engine_->DrawLine(r.left, r.bottom, r.right, r.bottom);
    engine_->DrawLine(r.left, r.top, r.left, r.bottom);
    engine_->DrawLine(r.right, r.top, r.right, r.bottom);
}

void Painter::DrawRect(const Rect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (right == -1) right = left;
    if (bottom == -1) bottom = top;
    const int32_t w = r.Width(), h = r.Height();
    if (h <= 0) return;
    std::vector<Span>& spans = DrawingScratch::Shared().spans;
    if (spans.size() < static_cast<size_t>(h)) spans.resize(static_cast<size_t>(h));
    const bool open = left + right < w && top + bottom < h;
    for (int32_t row = 0; row < h; ++row) {
        const int32_t y = r.top + row;
        if (open && row >= top && row < h - bottom) {
            spans[row] = {r.left, y, left, w - left - right, right};
        } else {
            spans[row] = {r.left, y, w, 0, 0};
        }
    }
    engine_->DrawSpans(spans.data(), h);
}

void Painter::DrawRoundedRect(const Rect& r, int32_t rx, int32_t ry, int corners) {
    DrawingScratch& s = DrawingScratch::Shared();
    const int n = static_cast<int>(std::sqrt(static_cast<float>(std::max(rx, ry))) * 0.7853982f);
    const float step = 1.5707964f / static_cast<float>(n + 1);
    s.cornerX.assign(static_cast<size_t>(n + 2), 0);
    s.cornerY.assign(static_cast<size_t>(n + 2), 0);
    s.cornerX[0] = static_cast<int16_t>(rx);
    s.cornerY[0] = 0;
    s.cornerX[n + 1] = 0;
    s.cornerY[n + 1] = static_cast<int16_t>(ry);
    for (int j = 1; j <= n; ++j) {
        const float theta = static_cast<float>(j) * step;
        s.cornerX[j] = static_cast<int16_t>(0.5f + static_cast<float>(rx) * std::cos(theta));
        s.cornerY[j] = static_cast<int16_t>(0.5f + static_cast<float>(ry) * std::sin(theta));
    }
    std::vector<Point>& pts = s.points;
    pts.clear();
    const std::vector<int16_t>& xo = s.cornerX;
    const std::vector<int16_t>& yo = s.cornerY;
    if (corners & TopRight) {
        for (int j = 0; j <= n + 1; ++j) pts.emplace_back(r.right - rx + xo[j], r.top + ry - yo[j]);
    } else {
        pts.emplace_back(r.right, r.top);
    }
    if (corners & TopLeft) {
        for (int j = n + 1; j >= 0; --j) pts.emplace_back(r.left + rx - xo[j], r.top + ry - yo[j]);
    } else {
        pts.emplace_back(r.left, r.top);
    }
    if (corners & BottomLeft) {
        for (int j = 0; j <= n + 1; ++j) pts.emplace_back(r.left + rx - xo[j], r.bottom - ry + yo[j]);
    } else {
        pts.emplace_back(r.left, r.bottom);
    }
    if (corners & BottomRight) {
        for (int j = n + 1; j >= 0; --j) pts.emplace_back(r.right - rx + xo[j], r.bottom - ry + yo[j]);
    } else {
        pts.emplace_back(r.right, r.bottom);
    }
    if (pts.size() >= 3) DrawPolygon(pts.data(), static_cast<int>(pts.size()));
}

void Painter::DrawPolygon(const Point* points, int count) {
    if (count <= 0) return;
    DrawingScratch& s = DrawingScratch::Shared();
    if (engine_->FillColour() != ColourNone) {
        const int spans = s.rasterizer.Rasterize(points, count, &s.spans);
        if (spans > 0) engine_->DrawSpans(s.spans.data(), spans);
    }
    if (engine_->PenColour() != ColourNone) {
        for (int i = 0; i < count; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            engine_->DrawLine(a.x, a.y, b.x, b.y);
        }
    }
}

void Painter::DrawTextAnchored(const Point& target, float fx, float fy, const char* text,
                               const Colour* background, Rect* box) {
    const Font* font = engine_->CurrentFont();
    if (font == nullptr) return;
    Rect b = TextBounds(*font, text);
    const Point anchor = b.AnchorPoint(fx, fy);
    const int32_t ox = target.x - anchor.x, oy = target.y - anchor.y;
    b = b.Moved(ox, oy);
    if (background != nullptr) {
        const Colour saved = engine_->FillColour();
        engine_->SetFillColour(*background);
        DrawRect(b, 0, 0, -1, -1);
        engine_->SetFillColour(saved);
    }
    if (box != nullptr) *box = b;
    engine_->DrawText(ox, oy, text, nullptr);
}

void Painter::DrawTextAt(int32_t x, int32_t y, float fx, float fy, const char* text,
                         const Colour* background, Rect* box) {
    DrawTextAnchored(Point(x, y), fx, fy, text, background, box);
}

void Painter::DrawTextInRect(const Rect& r, float fx, float fy, const char* text,
                             const Colour* background, Rect* box) {
    DrawTextAnchored(r.AnchorPoint(fx, fy), fx, fy, text, background, box);
}

}  // namespace gui
