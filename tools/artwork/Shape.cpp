#include "tools/artwork/Shape.h"

#include <algorithm>
#include <cmath>

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

Shape Box(double left, double top, double right, double bottom) {
    return {[=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; },
            left, top, right, bottom};
}

Shape Disc(double cx, double cy, double r) {
    return {[=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r; },
            cx - r, cy - r, cx + r, cy + r};
}

Shape Ring(double cx, double cy, double inner, double outer) {
    return Subtract(Disc(cx, cy, outer), Disc(cx, cy, inner));
}

Shape Polygon(const std::vector<Vertex>& points) {
    Shape s{nullptr, points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Vertex& p : points) {
        s.left = std::min(s.left, p.x);
        s.right = std::max(s.right, p.x);
        s.top = std::min(s.top, p.y);
        s.bottom = std::max(s.bottom, p.y);
    }
    s.inside = [points](double x, double y) {
        bool in = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Vertex& a = points[i];
            const Vertex& b = points[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                in = !in;
        }
        return in;
    };
    return s;
}

Shape Segment(Vertex from, Vertex to, double w) {
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    const double nx = -(to.y - from.y) / length * w / 2, ny = (to.x - from.x) / length * w / 2;
    return Polygon({{from.x + nx, from.y + ny},
                    {to.x + nx, to.y + ny},
                    {to.x - nx, to.y - ny},
                    {from.x - nx, from.y - ny}});
}

Shape Sector(double cx, double cy, double r, double from, double to) {
    return {[=](double x, double y) {
                double a = std::atan2(x - cx, cy - y) * 180 / kPi;
                if (a < from)
                    a += 360;
                return a <= to;
            },
            cx - r, cy - r, cx + r, cy + r};
}

Shape Intersect(const Shape& a, const Shape& b) {
    return {[a, b](double x, double y) { return a.inside(x, y) && b.inside(x, y); },
            std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Shape Subtract(const Shape& a, const Shape& b) {
    return {[a, b](double x, double y) { return a.inside(x, y) && !b.inside(x, y); }, a.left, a.top,
            a.right, a.bottom};
}

Shape Offset(const Shape& a, double dx, double dy) {
    return {[a, dx, dy](double x, double y) { return a.inside(x - dx, y - dy); }, a.left + dx,
            a.top + dy, a.right + dx, a.bottom + dy};
}

Shape Mirror(const Shape& a, double axis) {
    return {[a, axis](double x, double y) { return a.inside(2 * axis - x, y); }, 2 * axis - a.right,
            a.top, 2 * axis - a.left, a.bottom};
}

}  // namespace artwork
