#include "app/TestCard.h"

#include <cmath>

#include "gui/engine/Painter.h"

namespace {

using gui::Colour;
using gui::Painter;
using gui::Point;
using gui::Rect;

// The card is laid out on a 320 x 240 grid scaled to the screen.
struct Grid {
    int32_t width, height;
    int32_t X(int32_t x) const { return x * width / 320; }
    int32_t Y(int32_t y) const { return y * height / 240; }
    Rect Box(int32_t x, int32_t y, int32_t w, int32_t h) const {
        return Rect::FromEdges(X(x), Y(y), X(x + w) - 1, Y(y + h) - 1);
    }
};

void ColourBars(Painter& p, const Grid& g) {
    static const Colour kBars[] = {0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF, 0xFF00FF00,
                                   0xFFFF00FF, 0xFFFF0000, 0xFF0000FF, 0xFF000000};
    for (int i = 0; i < 8; ++i) {
        p.SetFillColour(kBars[i]);
        p.DrawRect(g.Box(8 + i * 38, 8, 38, 22), 0, 0);
    }
}

void Rectangles(Painter& p, const Grid& g) {
    p.SetPenColour(0xFFFFFFFF);
    p.DrawFrame(g.Box(8, 40, 60, 40));
    p.SetPenColour(0xFFFFC000);
    p.SetFillColour(0xFF204080);
    p.DrawRect(g.Box(76, 40, 60, 40), 3, 3);
    p.DrawRect(g.Box(144, 40, 60, 40), 1, 6, 12, 2);
    // Only the border: the inside keeps what was there.
    p.SetFillColour(gui::ColourNone);
    p.SetPenColour(0xFF00FF80);
    p.DrawRect(g.Box(212, 40, 48, 40), 2, 2);
    // Only the inside.
    p.SetPenColour(gui::ColourNone);
    p.SetFillColour(0xFF808080);
    p.DrawRect(g.Box(266, 40, 46, 40), 4, 4);
}

void RoundedShapes(Painter& p, const Grid& g) {
    p.SetPenColour(0xFFFFFFFF);
    p.SetFillColour(0xFF1E00DC);
    p.DrawRoundedRect(g.Box(8, 90, 90, 50), 10, 10, Painter::TopLeft | Painter::TopRight);
    p.SetFillColour(0xFF008040);
    p.DrawRoundedRect(g.Box(106, 90, 90, 50), 16, 16, 15);
    p.SetPenColour(0xFFFFFF00);
    p.SetFillColour(gui::ColourNone);
    p.DrawRoundedRect(g.Box(204, 90, 108, 50), 20, 12, 15);
}

void Polygons(Painter& p, const Grid& g) {
    const Point triangle[] = {{g.X(8), g.Y(150)}, {g.X(68), g.Y(150)}, {g.X(8), g.Y(200)}};
    p.SetPenColour(gui::ColourNone);
    p.SetFillColour(0xFFFF4040);
    p.DrawPolygon(triangle, 3);
    // A five-pointed star: not convex, so the scanlines cross four edges.
    Point star[10];
    const double cx = g.X(110), cy = g.Y(178), outer = g.Y(28), inner = g.Y(11);
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 == 0 ? outer : inner;
        star[i] = Point(static_cast<int32_t>(cx + radius * std::cos(angle)),
                        static_cast<int32_t>(cy + radius * std::sin(angle)));
    }
    p.SetPenColour(0xFFFFFFFF);
    p.SetFillColour(0xFFFFC000);
    p.DrawPolygon(star, 10);
}

void Lines(Painter& p, const Grid& g) {
    const int32_t cx = g.X(175), cy = g.Y(178), r = g.Y(28);
    p.SetPenColour(0xFF00FFFF);
    for (int i = 0; i < 24; ++i) {
        const double angle = i * M_PI / 12;
        p.DrawLine(cx, cy, cx + static_cast<int32_t>(r * std::cos(angle)),
                   cy + static_cast<int32_t>(r * std::sin(angle)));
    }
}

void EllipsesAndPixels(gui::AbstractScreenEngine& engine, const Grid& g) {
    engine.SetPenColour(0xFFFF80FF);
    engine.DrawEllipse(g.X(240), g.Y(178), g.X(28), g.Y(22));
    engine.DrawEllipse(g.X(240), g.Y(178), g.X(12), g.Y(22));
    // An alpha ramp of white over the bars' black: every pixel blended by its own alpha.
    const Rect ramp = g.Box(274, 150, 38, 50);
    for (int32_t y = ramp.top; y <= ramp.bottom; ++y) {
        for (int32_t x = ramp.left; x <= ramp.right; ++x) {
            const uint32_t alpha = static_cast<uint32_t>((y - ramp.top) * 255 / std::max(ramp.Height() - 1, 1));
            engine.DrawPixel(x, y, alpha << 24 | 0x00FFFFFF);
        }
    }
}

void HalfTransparentImage(Painter& p, const Grid& g) {
    const Rect where = g.Box(8, 208, 304, 24);
    gui::Image image;
    image.width = where.Width();
    image.height = where.Height();
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t red = static_cast<uint32_t>(x * 255 / std::max(image.width - 1, 1));
            image.pixels[static_cast<size_t>(y) * image.width + x] = 0x80000000 | red << 16 | (255 - red);
        }
    }
    p.DrawImage(where.left, where.top, image);
}

// Text in the shapes: anchored at the corners and the centre, with and without a background.
void Texts(Painter& p, const Grid& g) {
    p.SelectFont(0);
    p.SetPenColour(0xFFFFFFFF);
    p.DrawTextInRect(g.Box(76, 40, 60, 40), 0.5f, 0.5f, "Centre");
    p.DrawTextInRect(g.Box(144, 40, 60, 40), 0, 0, "Top left");
    p.DrawTextInRect(g.Box(144, 40, 60, 40), 1, 1, "right");
    p.DrawTextInRect(g.Box(8, 90, 90, 50), 0.5f, 0.5f, "Boot options");
    const Colour black = 0xFF000000;
    p.SetPenColour(0xFFFFFF00);
    p.DrawTextInRect(g.Box(106, 90, 90, 50), 0.5f, 0.5f, "On black", &black);
    p.SetPenColour(0xFFFFFFFF);
    p.DrawTextInRect(g.Box(204, 90, 108, 50), 0.5f, 0.3f, "0123456789ABCDEF");
    p.SetPenColour(0xFF80FF80);
    p.DrawTextInRect(g.Box(204, 90, 108, 50), 0.5f, 0.75f, "25\xB0""C \xB1""0.5 m\xB2");
}

}  // namespace

void DrawTestCard(gui::AbstractScreenEngine& engine, int32_t width, int32_t height) {
    const Grid g{width, height};
    gui::ScreenPort port;
    port.rect = Rect(0, 0, g.width, g.height);
    Painter p(&port);
    p.SetPenColour(0xFF606060);
    p.SetFillColour(0xFF101820);
    p.DrawRect(port.rect, 1, 1);
    if (g.width < 320 || g.height < 240) return;  // too small for the layout
    ColourBars(p, g);
    Rectangles(p, g);
    RoundedShapes(p, g);
    Polygons(p, g);
    Lines(p, g);
    EllipsesAndPixels(engine, g);
    HalfTransparentImage(p, g);
    Texts(p, g);
}
