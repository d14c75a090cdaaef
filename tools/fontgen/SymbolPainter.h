#pragma once

#include <functional>
#include <vector>

#include "tools/typeface/GlyphImage.h"

namespace fontgen {

using typeface::GlyphImage;

// The symbols of the control range (arrows, boxes, ticks, ...), drawn as shapes with 16 x 16
// samples per pixel. Coordinates are pixels from the pen position on the baseline, y downwards,
// so the cap height of the text is at y = -capHeight.
class SymbolPainter {
public:
    // capHeight and stem (the width of the text's vertical strokes) size every symbol so that it
    // sits among the letters.
    SymbolPainter(int capHeight, double stem);

    // The codes that get a symbol, in order.
    static const std::vector<int>& Codes();
    // False for a code without a symbol.
    bool Draw(int code, GlyphImage* out);

private:
    struct P {
        double x, y;
    };
    using Inside = std::function<bool(double x, double y)>;

    void Begin();
    // Sets (ink) or clears the samples inside the shape; the box bounds it.
    void Paint(bool ink, double x0, double y0, double x1, double y1, const Inside& inside);
    void Box(double x0, double y0, double x1, double y1, bool ink = true);
    void Frame(double x0, double y0, double x1, double y1, double w);
    void Disc(double cx, double cy, double r, bool ink = true);
    void Ring(double cx, double cy, double r, double w);
    void Polygon(const std::vector<P>& points);
    // A stroke of width w along the points, round at its ends and joins.
    void Stroke(const std::vector<P>& points, double w);
    void Arrow(P from, P to, double head, double headWidth);
    GlyphImage Finish(int advance) const;

    int cap_;
    double w_;  // strokes: the text's stem width, whole pixels so that straight edges stay sharp
    std::vector<uint8_t> samples_;
};

}  // namespace fontgen
