#pragma once

#include "gui/engine/AbstractScreenEngine.h"
#include "gui/engine/Canvas16.h"
#include "gui/engine/DirtyRegion.h"

namespace gui {

// The engine of the device: draws into an RGB565 off-screen picture the size of the display and
// copies it into the mapped framebuffer on Flush.
class ScreenEngineLpc : public AbstractScreenEngine {
public:
    // lineLengthBytes is the framebuffer's row pitch; 0 means rows of exactly width pixels.
    ScreenEngineLpc(void* framebuffer, int32_t width, int32_t height, int32_t lineLengthBytes);

    bool Begin(ScreenPort* port) override;
    bool End() override;
    void SetPenColour(Colour c) override;
    void SetFillColour(Colour c) override;

    void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override;
    void DrawImage(int32_t x, int32_t y, const Image& image) override;
    void DrawPixmap(int32_t x, int32_t y, const Pixmap16& pixmap) override;
    void DrawText(int32_t x, int32_t y, const char* text, const Rect* clip) override;
    void DrawSpans(const Span* spans, int count) override;
    void DrawEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) override;
    void DrawPixel(int32_t x, int32_t y, Colour c) override;
    void WritePixels(int32_t x, int32_t y, const Pixel* words, int count) override;

    // Copies what was drawn since the last flush to the framebuffer (nothing else makes drawing
    // visible) and returns those areas; none when nothing was drawn. The framebuffer memory is far
    // slower than the cache on the device, so the rest of the picture is not copied again.
    DirtyRegion Flush();
    // For whoever changes the off-screen picture other than through the drawing operations.
    void MarkDrawn(const Rect& r);
    void MarkAllDrawn() { MarkDrawn(Rect(0, 0, canvas_.width, canvas_.height)); }

    const Canvas16& Canvas() const { return canvas_; }
    Canvas16& Canvas() { return canvas_; }

private:
    bool Inside(int32_t x, int32_t y) const;
    void Plot(int32_t x, int32_t y, Pixel p);
    void FillRun(int32_t x, int32_t y, int32_t length, Pixel p);
    // The 16.16 stepping of a line that is neither vertical nor horizontal.
    template <typename PlotFn>
    void StepLine(int32_t x0, int32_t y0, int64_t dx, int64_t dy, PlotFn plot);
    // The part of a width x height block at (x, y) that lies on the canvas; false if none.
    bool ClipBlock(int32_t x, int32_t y, int32_t width, int32_t height, Rect* out) const;
    // Records pixels written (already on the canvas): the box of one painter's drawing grows,
    // and joins the region drawn when the painter ends.
    void Touch(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Touch(const Rect& r) { Touch(r.left, r.top, r.right, r.bottom); }
    // The part of (left, top)-(right, bottom) on the canvas, recorded as written.
    void TouchClipped(int64_t left, int64_t top, int64_t right, int64_t bottom);
    void CommitDrawing();

    Canvas16 canvas_;
    Rect drawing_;        // box of the pixels written since the last Begin, End or Flush
    DirtyRegion drawn_;   // everything written since the last flush
};

}  // namespace gui
