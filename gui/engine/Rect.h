#pragma once

#include <cstdint>

#include "gui/engine/Point.h"

namespace gui {

// Both corners inclusive: width = right - left + 1. The null rectangle is (0, 0, -1, -1).
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;

    Rect() = default;
    Rect(int32_t x, int32_t y, int32_t width, int32_t height)
        : left(x), top(y), right(x + width - 1), bottom(y + height - 1) {}
    Rect(const Point& origin, const Size& size) : Rect(origin.x, origin.y, size.width, size.height) {}
    Rect(const Point& topLeft, const Point& bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {}

    static Rect FromEdges(int32_t l, int32_t t, int32_t r, int32_t b) { return Rect(Point(l, t), Point(r, b)); }

    int32_t Width() const { return right - left + 1; }
    int32_t Height() const { return bottom - top + 1; }
    bool IsNull() const { return right == left - 1 && bottom == top - 1; }
    bool Contains(int32_t x, int32_t y) const;
    Point AnchorPoint(float fx, float fy) const;
    Rect Moved(int32_t dx, int32_t dy) const { return FromEdges(left + dx, top + dy, right + dx, bottom + dy); }

    static Rect Intersect(const Rect& a, const Rect& b);
    // The smallest rectangle holding both (neither null, corners in order).
    static Rect Union(const Rect& a, const Rect& b);

    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

}  // namespace gui
