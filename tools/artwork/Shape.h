#pragma once

#include <functional>
#include <vector>

namespace artwork {

// An area of the plane: which points are inside, and a box that holds them all. Coordinates are
// the artwork's design units, y downwards.
struct Shape {
    std::function<bool(double x, double y)> inside;
    double left, top, right, bottom;
};

struct Vertex {
    double x, y;
};

Shape Box(double left, double top, double right, double bottom);
Shape Disc(double cx, double cy, double r);
Shape Ring(double cx, double cy, double inner, double outer);
// Even-odd filling.
Shape Polygon(const std::vector<Vertex>& points);
// A straight stroke of width w with square ends.
Shape Segment(Vertex from, Vertex to, double w);
// Points whose direction from (cx, cy), in degrees clockwise from straight up, lies within
// [from, to]; bounded by radius r.
Shape Sector(double cx, double cy, double r, double from, double to);

Shape Intersect(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
// The shape moved by (dx, dy).
Shape Offset(const Shape& a, double dx, double dy);
// The shape mirrored about the vertical line x = axis.
Shape Mirror(const Shape& a, double axis);

}  // namespace artwork
