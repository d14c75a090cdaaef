#include "tools/fontgen/SymbolPainter.h"

#include <algorithm>
#include <cmath>

namespace fontgen {

namespace {

// The drawing area: the whole line (17 pixels above the baseline, 5 below) and 32 columns.
constexpr int kAbove = 17;
constexpr int kBelow = 5;
constexpr int kColumns = 32;
constexpr int kRows = kAbove + kBelow;
constexpr int kSub = 16;  // samples per pixel in each direction
constexpr int kSamplesX = kColumns * kSub;
constexpr int kSamplesY = kRows * kSub;

double SegmentDistance2(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
    return ex * ex + ey * ey;
}

}  // namespace

SymbolPainter::SymbolPainter(int capHeight, double stem)
    : cap_(capHeight), w_(std::max(1.0, std::round(stem))) {}

const std::vector<int>& SymbolPainter::Codes() {
    static const std::vector<int> codes = {1,  2,  3,  4,  8,  9,  11, 12, 14, 15, 16, 17, 18,
                                           19, 20, 21, 22, 24, 25, 26, 27, 28, 29, 30, 31};
    return codes;
}

void SymbolPainter::Begin() {
    samples_.assign(static_cast<size_t>(kSamplesX) * kSamplesY, 0);
}

void SymbolPainter::Paint(bool ink, double x0, double y0, double x1, double y1,
                          const Inside& inside) {
    // Samples sit at the centres of their cells.
    const int i0 = std::max(0, static_cast<int>(std::floor(x0 * kSub)));
    const int i1 = std::min(kSamplesX, static_cast<int>(std::ceil(x1 * kSub)));
    const int j0 = std::max(0, static_cast<int>(std::floor((y0 + kAbove) * kSub)));
    const int j1 = std::min(kSamplesY, static_cast<int>(std::ceil((y1 + kAbove) * kSub)));
    for (int j = j0; j < j1; ++j) {
        const double y = (j + 0.5) / kSub - kAbove;
        for (int i = i0; i < i1; ++i) {
            const double x = (i + 0.5) / kSub;
            if (inside(x, y))
                samples_[static_cast<size_t>(j) * kSamplesX + i] = ink ? 1 : 0;
        }
    }
}

void SymbolPainter::Box(double x0, double y0, double x1, double y1, bool ink) {
    Paint(ink, x0, y0, x1, y1,
          [&](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
}

void SymbolPainter::Frame(double x0, double y0, double x1, double y1, double w) {
    Box(x0, y0, x1, y1);
    Box(x0 + w, y0 + w, x1 - w, y1 - w, false);
}

void SymbolPainter::Disc(double cx, double cy, double r, bool ink) {
    Paint(ink, cx - r, cy - r, cx + r, cy + r,
          [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
}

void SymbolPainter::Ring(double cx, double cy, double r, double w) {
    Disc(cx, cy, r);
    Disc(cx, cy, r - w, false);
}

void SymbolPainter::Polygon(const std::vector<P>& points) {
    double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const P& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    Paint(true, x0, y0, x1, y1, [&](double x, double y) {
        bool in = false;
        for (size_t a = 0, b = points.size() - 1; a < points.size(); b = a++) {
            const P& p = points[a];
            const P& q = points[b];
            if ((p.y > y) != (q.y > y) && x < (q.x - p.x) * (y - p.y) / (q.y - p.y) + p.x) {
                in = !in;
            }
        }
        return in;
    });
}

void SymbolPainter::Stroke(const std::vector<P>& points, double w) {
    const double r = w / 2;
    for (size_t k = 0; k + 1 < points.size(); ++k) {
        const P a = points[k], b = points[k + 1];
        Paint(true, std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
              std::max(a.y, b.y) + r, [&](double x, double y) {
                  return SegmentDistance2(x, y, a.x, a.y, b.x, b.y) <= r * r;
              });
    }
}

void SymbolPainter::Arrow(P from, P to, double head, double headWidth) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double ux = dx / length, uy = dy / length;  // along the arrow
    const double nx = -uy, ny = ux;                   // across it
    const double h = w_ / 2, hw = headWidth / 2;
    // The shaft runs a little into the head so that no seam shows.
    const P base = {to.x - ux * head, to.y - uy * head};
    const P inner = {base.x + ux * 0.5, base.y + uy * 0.5};
    Polygon({{from.x + nx * h, from.y + ny * h},
             {inner.x + nx * h, inner.y + ny * h},
             {inner.x - nx * h, inner.y - ny * h},
             {from.x - nx * h, from.y - ny * h}});
    Polygon({to, {base.x + nx * hw, base.y + ny * hw}, {base.x - nx * hw, base.y - ny * hw}});
}

GlyphImage SymbolPainter::Finish(int advance) const {
    GlyphImage g;
    g.advance = advance;
    g.top = kAbove;
    g.width = kColumns;
    g.height = kRows;
    g.coverage.resize(static_cast<size_t>(kColumns) * kRows);
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            int count = 0;
            for (int j = y * kSub; j < (y + 1) * kSub; ++j) {
                const uint8_t* row = &samples_[static_cast<size_t>(j) * kSamplesX + x * kSub];
                for (int i = 0; i < kSub; ++i)
                    count += row[i];
            }
            g.coverage[static_cast<size_t>(y) * kColumns + x] =
                static_cast<uint8_t>((count * 255 + kSub * kSub / 2) / (kSub * kSub));
        }
    }
    g.Trim();
    return g;
}

bool SymbolPainter::Draw(int code, GlyphImage* out) {
    // Designed for a cap height of 14, where straight edges fall on pixel edges; scaled for others.
    const double s = cap_ / 14.0;
    auto S = [&](double v) { return v * s; };
    const double w = w_;
    Begin();
    int advance = 0;
    switch (code) {
        case 1:  // tick
            Stroke({{S(2.5), S(-6.5)}, {S(5.8), S(-2.8)}, {S(12.5), S(-11.5)}}, w * 1.1);
            advance = 15;
            break;
        case 2:  // end of the text: a return arrow, for "Enter ends the entry here"
            Box(S(12), S(-13), S(12) + w, S(-6) + w / 2);
            Box(S(6), S(-6) - w / 2, S(12) + w, S(-6) + w / 2);
            Polygon({{S(2), S(-6)}, {S(7), S(-10.5)}, {S(7), S(-1.5)}});
            advance = 16;
            break;
        case 3:  // cross
            Stroke({{S(3), S(-11)}, {S(12), S(-2)}}, w * 1.1);
            Stroke({{S(12), S(-11)}, {S(3), S(-2)}}, w * 1.1);
            advance = 15;
            break;
        case 4:  // diamond
            Polygon({{S(7.5), S(-13)}, {S(13), S(-6.5)}, {S(7.5), S(0)}, {S(2), S(-6.5)}});
            advance = 15;
            break;
        case 8:  // check box
            Frame(S(1), S(-14), S(15), 0, w);
            advance = 17;
            break;
        case 9:  // ticked check box
            Frame(S(1), S(-14), S(15), 0, w);
            Stroke({{S(4.5), S(-7)}, {S(7), S(-4.2)}, {S(11.8), S(-10)}}, w);
            advance = 17;
            break;
        case 11:  // bullet
            Disc(S(5), S(-7), S(3));
            advance = 10;
            break;
        case 12:  // circle
            Ring(S(8), S(-7), S(7), w);
            advance = 17;
            break;
        case 14:  // circle with a dot: the chosen option
            Ring(S(8), S(-7), S(7), w);
            Disc(S(8), S(-7), S(3.5));
            advance = 17;
            break;
        case 15:  // warning sign
            Polygon({{S(9), S(-14)}, {S(17), 0}, {S(1), 0}});
            Box(S(9) - w / 2, S(-10), S(9) + w / 2, S(-5), false);
            Box(S(9) - w / 2, S(-3), S(9) + w / 2, S(-1), false);
            advance = 18;
            break;
        case 16:  // pointer right
            Polygon({{S(2), S(-13)}, {S(13), S(-7)}, {S(2), S(-1)}});
            advance = 15;
            break;
        case 17:  // pointer left
            Polygon({{S(13), S(-13)}, {S(2), S(-7)}, {S(13), S(-1)}});
            advance = 15;
            break;
        case 18:  // arrow up and down
            Arrow({S(7), S(-7)}, {S(7), S(-14)}, S(5), S(10));
            Arrow({S(7), S(-7)}, {S(7), 0}, S(5), S(10));
            advance = 14;
            break;
        case 19:  // battery, two thirds full
            Frame(S(1), S(-12), S(18), S(-2), w);
            Box(S(1) + w + 1, S(-12) + w + 1, S(12), S(-2) - w - 1);
            Box(S(18), S(-9), S(20), S(-5));
            advance = 21;
            break;
        case 20:  // padlock: the body hides the lower half of the shackle
            Ring(S(8), S(-8), S(5), w);
            Box(S(2), S(-8), S(14), 0);
            Disc(S(8), S(-5), S(1.6), false);
            Box(S(8) - w / 2, S(-5), S(8) + w / 2, S(-2), false);
            advance = 16;
            break;
        case 21:  // information
            Ring(S(8), S(-7), S(7), w);
            Box(S(8) - w / 2, S(-8), S(8) + w / 2, S(-3));
            Box(S(8) - w / 2, S(-11), S(8) + w / 2, S(-9));
            advance = 17;
            break;
        case 22:  // square
            Box(S(2), S(-13), S(14), S(-1));
            advance = 16;
            break;
        case 24:  // arrow up
            Arrow({S(7), 0}, {S(7), S(-14)}, S(6), S(11));
            advance = 14;
            break;
        case 25:  // arrow down
            Arrow({S(7), S(-14)}, {S(7), 0}, S(6), S(11));
            advance = 14;
            break;
        case 26:  // arrow right
            Arrow({S(1), S(-7)}, {S(15), S(-7)}, S(6), S(11));
            advance = 16;
            break;
        case 27:  // arrow left
            Arrow({S(15), S(-7)}, {S(1), S(-7)}, S(6), S(11));
            advance = 16;
            break;
        case 28:  // hourglass: waiting
            Box(S(2), S(-14), S(13), S(-14) + w);
            Box(S(2), -w, S(13), 0);
            Polygon({{S(3.5), S(-12)}, {S(11.5), S(-12)}, {S(7.5), S(-7)}});
            Polygon({{S(7.5), S(-7)}, {S(11.5), S(-2)}, {S(3.5), S(-2)}});
            advance = 15;
            break;
        case 29:  // arrow left and right
            Arrow({S(9.5), S(-7)}, {S(1), S(-7)}, S(5), S(10));
            Arrow({S(9.5), S(-7)}, {S(18), S(-7)}, S(5), S(10));
            advance = 19;
            break;
        case 30:  // pointer up
            Polygon({{S(1), S(-2)}, {S(13), S(-2)}, {S(7), S(-13)}});
            advance = 14;
            break;
        case 31:  // pointer down
            Polygon({{S(1), S(-12)}, {S(13), S(-12)}, {S(7), S(-1)}});
            advance = 14;
            break;
        default:
            return false;
    }
    *out = Finish(static_cast<int>(std::lround(advance * s)));
    return true;
}

}  // namespace fontgen
