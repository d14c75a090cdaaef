#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "gui/engine/Colour.h"
#include "gui/engine/Font.h"
#include "gui/engine/Image.h"
#include "gui/engine/Pixmap16.h"
#include "gui/engine/Rect.h"
#include "gui/engine/ScreenPort.h"
#include "gui/engine/Span.h"

namespace gui {

// The drawing interface, with the state that does not depend on the pixel format: colours, the
// registry of loaded fonts and the current font. Coordinates are canvas pixels and are never
// translated; whatever falls outside the canvas is not drawn.
class AbstractScreenEngine {
public:
    virtual ~AbstractScreenEngine();

    virtual bool Begin(ScreenPort* port);
    virtual bool End();
    virtual void SetPenColour(Colour c) { penColour_ = c; }
    virtual Colour PenColour() const { return penColour_; }
    virtual void SetFillColour(Colour c) { fillColour_ = c; }
    virtual Colour FillColour() const { return fillColour_; }

    virtual void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) = 0;
    virtual void DrawImage(int32_t x, int32_t y, const Image& image) = 0;
    virtual void DrawPixmap(int32_t x, int32_t y, const Pixmap16& pixmap) = 0;
    // Baseline origin at (x, y), current font, pen colour; clip (inclusive) may be null.
    virtual void DrawText(int32_t x, int32_t y, const char* text, const Rect* clip) = 0;
    virtual void DrawSpans(const Span* spans, int count) = 0;
    virtual void DrawEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) = 0;
    virtual void DrawPixel(int32_t x, int32_t y, Colour c) = 0;
    virtual void WritePixels(int32_t x, int32_t y, const Pixel* words, int count) = 0;

    // Takes ownership. Returns false (and deletes the font) when the id is already taken.
    bool RegisterFont(int32_t id, std::unique_ptr<Font> font);
    // Prints "Object %u not found." and selects no font when the id is not registered.
    void SelectFont(int32_t id);
    Font* CurrentFont() const { return currentFont_; }
    ScreenPort* CurrentPort() const { return port_; }

protected:
    ScreenPort* port_ = nullptr;
    std::map<int32_t, std::unique_ptr<Font>> fonts_;
    Font* currentFont_ = nullptr;
    Colour penColour_ = 0xFF000000;
    Colour fillColour_ = 0xFFFFFFFF;
};

// The process-wide engine that painters draw through; set once by start-up.
AbstractScreenEngine* Engine();
void SetEngine(AbstractScreenEngine* engine);

}  // namespace gui
