#pragma once

#include <cstdint>

namespace gui {

struct Point {
    int32_t x = 0;
    int32_t y = 0;

    Point() = default;
    Point(int32_t px, int32_t py) : x(px), y(py) {}
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point& o) const { return !(*this == o); }
};

// A width and height pair.
struct Size {
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace gui
