// The description of the built-in artwork. Everything is on black: the boot screen is black and
// the pictures are copied onto it without transparency. Colours are muted, as on the displays'
// own pages: steel-blue sky, umber ground, grey metal, amber for the aircraft symbol.
#include "tools/artwork/Artwork.h"

#include <cmath>

namespace artwork {

namespace {

constexpr uint32_t kSky = 0x2C5478;
constexpr uint32_t kSkyHigh = 0x1E3C5A;
constexpr uint32_t kGround = 0x5E4128;
constexpr uint32_t kGroundLow = 0x42301E;
constexpr uint32_t kMarking = 0xD2D6DA;  // horizon, pitch ladder, scale
constexpr uint32_t kAmber = 0xE0A23C;
constexpr uint32_t kBezel = 0x30363D;
constexpr uint32_t kRim = 0x8C96A0;
constexpr uint32_t kName = 0xD0D5DA;
constexpr uint32_t kLine = 0x8A939C;
constexpr uint32_t kRule = 0xB88A3A;
constexpr uint32_t kWing[] = {0xA2ABB4, 0x828B95, 0x646C75};

constexpr double kPi = 3.14159265358979323846;

// The attitude indicator: sky over ground inside a bezel with the bank scale.
void AttitudeIndicator(ArtCanvas& c, double cx, double cy, double r) {
    const double horizon = cy + r * 0.10;  // a little nose up
    const Shape face = Disc(cx, cy, r);
    // The sky darkens upwards and the ground downwards, in two bands each: calm, and it keeps
    // the runs long.
    c.Paint(Intersect(face, Box(cx - r, cy - r, cx + r, horizon)), kSkyHigh);
    c.Paint(Intersect(face, Box(cx - r, cy - r * 0.45, cx + r, horizon)), kSky);
    c.Paint(Intersect(face, Box(cx - r, horizon, cx + r, cy + r)), kGround);
    c.Paint(Intersect(face, Box(cx - r, cy + r * 0.62, cx + r, cy + r)), kGroundLow);
    c.Paint(Intersect(face, Box(cx - r, horizon - 0.8, cx + r, horizon + 0.8)), kMarking);

    // Pitch ladder: 5 and 10 degrees up and down.
    const double step = r * 0.17;
    for (int k : {-2, -1, 1, 2}) {
        const double y = horizon - k * step;
        const double half = k % 2 == 0 ? r * 0.26 : r * 0.13;
        c.Paint(Box(cx - half, y - 0.6, cx + half, y + 0.6), kMarking, 0.85);
    }

    // Bezel, its rim and the bank scale at 10, 20, 30, 45 and 60 degrees.
    const double bezel = r * 0.16;
    c.Paint(Ring(cx, cy, r, r + bezel), kBezel);
    c.Paint(Ring(cx, cy, r + bezel, r + bezel + 1.3), kRim);
    c.Paint(Ring(cx, cy, r - 0.6, r + 0.4), kRim, 0.6);
    for (int a : {-60, -45, -30, -20, -10, 10, 20, 30, 45, 60}) {
        const bool major = a % 30 == 0;
        const double t = a * kPi / 180;
        const double inner = r + bezel * (major ? 0.1 : 0.35), outer = r + bezel * 0.95;
        const Vertex from{cx + inner * std::sin(t), cy - inner * std::cos(t)};
        const Vertex to{cx + outer * std::sin(t), cy - outer * std::cos(t)};
        c.Paint(Segment(from, to, major ? 1.9 : 1.4), kMarking);
    }
    // The zero mark: a small triangle pointing down into the face.
    c.Paint(Polygon({{cx - 3.6, cy - r - bezel * 0.9},
                     {cx + 3.6, cy - r - bezel * 0.9},
                     {cx, cy - r - bezel * 0.1}}),
            kMarking);
    // The bank pointer on the face.
    c.Paint(Polygon({{cx, cy - r + 1.5}, {cx - 3.6, cy - r + 7.5}, {cx + 3.6, cy - r + 7.5}}),
            kAmber);

    // The aircraft symbol: two bars with their inner ends turned down, and the centre dot.
    const double bar = 2.6;
    const Shape left = Polygon({{cx - r * 0.66, horizon - bar / 2},
                                {cx - r * 0.20, horizon - bar / 2},
                                {cx - r * 0.20, horizon + r * 0.11},
                                {cx - r * 0.20 - bar, horizon + r * 0.11},
                                {cx - r * 0.20 - bar, horizon + bar / 2},
                                {cx - r * 0.66, horizon + bar / 2}});
    // A dark outline keeps the amber clear of the horizon line under it.
    const Shape dot = Box(cx - 1.6, horizon - 1.6, cx + 1.6, horizon + 1.6);
    for (const Shape& s : {left, Mirror(left, cx), dot}) {
        for (int k = 0; k < 8; ++k) {
            const double t = k * kPi / 4;
            c.Paint(Offset(s, 0.9 * std::cos(t), 0.9 * std::sin(t)), 0x000000, 0.5);
        }
    }
    c.Paint(left, kAmber);
    c.Paint(Mirror(left, cx), kAmber);
    c.Paint(dot, kAmber);
}

// Three swept feathers on each side, shorter and darker downwards.
void Wings(ArtCanvas& c, double cx, double root, double top) {
    for (int k = 0; k < 3; ++k) {
        const double y = top + k * 10.5;
        const double length = 96 - k * 19;
        const double thick = 7.5;
        const double rise = 7 - k * 1.5;  // the tips sweep up
        const double x = cx - root;
        const Shape feather = Polygon({{x + 6, y},
                                       {x - length, y - rise},
                                       {x - length + 11, y - rise + thick * 0.8},
                                       {x + 6, y + thick}});
        c.Paint(feather, kWing[k]);
        c.Paint(Mirror(feather, cx), kWing[k]);
    }
}

}  // namespace

void DrawEmblem(ArtCanvas& c, Faces& faces) {
    const double cx = kEmblemWidth / 2.0;
    Wings(c, cx, 50, 44);
    AttitudeIndicator(c, cx, 60, 46);
    c.Text(faces.bold, "ARVEL", cx, 150, 30, 9, kName, ArtCanvas::Align::kCentre);
    // Fine rules either side of the name lead the eye out to the wing tips.
    for (double side : {-1.0, 1.0}) {
        const double inner = cx + side * 66, outer = cx + side * 132;
        c.Paint(
            Box(std::min(inner, outer), 138.4, std::max(inner, outer), 139.6), kRule,
            [=](double x, double) { return 1 - std::abs(x - inner) / std::abs(outer - inner); });
    }
}

void DrawMark(ArtCanvas& c, Faces& faces) {
    const double right = kMarkWidth - 1;
    c.Text(faces.bold, "ARVEL", right, 35, 34, 7, kName, ArtCanvas::Align::kRight);
    // The rule fades out to the left.
    const double from = 40, to = right;
    c.Paint(Box(from, 44.4, to, 45.6), kRule,
            [=](double x, double) { return std::pow((x - from) / (to - from), 0.8); });
    c.Text(faces.book, "Avionics Display", right, 66, 16, 1.2, kLine, ArtCanvas::Align::kRight);
}

void DrawSampleLogo(ArtCanvas& c, Faces& faces) {
    // "Halden Air": a tail fin with a stripe, and the name.
    const uint32_t kFin = 0x2B7A94, kStripe = 0xE8ECEF;
    const Shape fin = Polygon({{4, 54}, {20, 6}, {36, 6}, {30, 54}});
    c.Paint(fin, kFin);
    c.Paint(Intersect(fin, Polygon({{0, 40}, {40, 18}, {40, 25}, {0, 47}})), kStripe);
    c.Text(faces.bold, "HALDEN", 42, 31, 15, 0.5, kStripe, ArtCanvas::Align::kLeft);
    c.Text(faces.book, "AIR", 43, 48, 12, 4, 0x9CC8D6, ArtCanvas::Align::kLeft);
}

}  // namespace artwork
