#include "gui/engine/Rect.h"

#include <algorithm>
#include <utility>

namespace gui {

bool Rect::Contains(int32_t x, int32_t y) const {
    int32_t l = left, r = right, t = top, b = bottom;
    if (r < l - 1) std::swap(l, r);
    if (b < t - 1) std::swap(t, b);
    return l <= x && x <= r && t <= y && y <= b;
}

Point Rect::AnchorPoint(float fx, float fy) const {
    const float x = static_cast<float>(left) + static_cast<float>(right - left + 1) * fx;
    const float y = static_cast<float>(top) + static_cast<float>(bottom - top + 1) * fy;
    return Point(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

Rect Rect::Union(const Rect& a, const Rect& b) {
    return FromEdges(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom));
}

Rect Rect::Intersect(const Rect& a, const Rect& b) {
    if (a.IsNull() || b.IsNull()) return Rect();
    Rect p = a, q = b;
    for (Rect* r : {&p, &q}) {
        if (r->right - r->left < -1) std::swap(r->left, r->right);
        if (r->bottom - r->top < -1) std::swap(r->top, r->bottom);
    }
    if (q.right < p.left || q.left > p.right || q.bottom < p.top || q.top > p.bottom) return Rect();
    return FromEdges(std::max(p.left, q.left), std::max(p.top, q.top), std::min(p.right, q.right),
                     std::min(p.bottom, q.bottom));
}

}  // namespace gui
