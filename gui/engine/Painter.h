#pragma once

#include <cstdint>

#include "gui/engine/AbstractScreenEngine.h"

namespace gui {

// The stack object through which a widget draws: brackets its drawing with the engine's
// Begin/End and turns shapes into spans. Coordinates are absolute canvas pixels.
class Painter {
public:
    // Corner bits of DrawRoundedRect.
    enum Corner { TopLeft = 1, TopRight = 2, BottomLeft = 4, BottomRight = 8 };

    explicit Painter(ScreenPort* port);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    void SetPenColour(Colour c) { engine_->SetPenColour(c); }
    void SetFillColour(Colour c) { engine_->SetFillColour(c); }
    Colour PenColour() const { return engine_->PenColour(); }
    Colour FillColour() const { return engine_->FillColour(); }
    void SelectFont(int32_t id) { engine_->SelectFont(id); }
    Font* CurrentFont() const { return engine_->CurrentFont(); }

    void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) { engine_->DrawLine(x0, y0, x1, y1); }
    void DrawFrame(const Rect& r);
    // Border widths in the pen colour, inside in the fill colour; right = -1 takes left's width,
    // bottom = -1 top's.
    void DrawRect(const Rect& r, int32_t left, int32_t top, int32_t right = -1, int32_t bottom = -1);
    void DrawRoundedRect(const Rect& r, int32_t rx, int32_t ry, int corners);
    void DrawPolygon(const Point* points, int count);
    void DrawImage(int32_t x, int32_t y, const Image& image) { engine_->DrawImage(x, y, image); }
    void DrawImage(const Point& p, const Image& image) { engine_->DrawImage(p.x, p.y, image); }
    void DrawPixmap(const Point& p, const Pixmap16& pixmap) { engine_->DrawPixmap(p.x, p.y, pixmap); }
    void DrawText(int32_t x, int32_t y, const char* text) { engine_->DrawText(x, y, text, nullptr); }

    // Text whose box is anchored at (x, y) by the fractions (fx, fy) of the box. background may
    // be null; box, if given, receives where the text went.
    void DrawTextAt(int32_t x, int32_t y, float fx, float fy, const char* text,
                    const Colour* background = nullptr, Rect* box = nullptr);
    // Text placed so that the fractional point (fx, fy) of its box meets the same point of r.
    void DrawTextInRect(const Rect& r, float fx, float fy, const char* text,
                        const Colour* background = nullptr, Rect* box = nullptr);

private:
    void DrawTextAnchored(const Point& target, float fx, float fy, const char* text,
                          const Colour* background, Rect* box);

    AbstractScreenEngine* engine_;
};

}  // namespace gui
