#include "gui/engine/DirtyRegion.h"

#include <algorithm>

namespace gui {

namespace {

int64_t AreaOf(const Rect& r) {
    return static_cast<int64_t>(r.Width()) * r.Height();
}

// Overlapping or edge to edge: one copy of their union costs less than two copies.
bool Touch(const Rect& a, const Rect& b) {
    return a.left <= b.right + 1 && b.left <= a.right + 1 && a.top <= b.bottom + 1 &&
           b.top <= a.bottom + 1;
}

}  // namespace

void DirtyRegion::Add(const Rect& r) {
    Rect joined = r;
    // A union may reach rectangles the new one did not touch: join until nothing touches.
    for (bool merged = true; merged;) {
        merged = false;
        for (int i = 0; i < count_; ++i) {
            if (Touch(joined, rects_[i])) {
                joined = Rect::Union(joined, rects_[i]);
                Remove(i);
                merged = true;
                break;
            }
        }
    }
    if (count_ == kMaxRects) {
        // Full: the new rectangle joins the one it grows least, and that union may touch others.
        int best = 0;
        int64_t bestWaste = 0;
        for (int i = 0; i < count_; ++i) {
            const int64_t waste =
                AreaOf(Rect::Union(joined, rects_[i])) - AreaOf(joined) - AreaOf(rects_[i]);
            if (i == 0 || waste < bestWaste) {
                best = i;
                bestWaste = waste;
            }
        }
        const Rect grown = Rect::Union(joined, rects_[best]);
        Remove(best);
        Add(grown);
        return;
    }
    rects_[count_++] = joined;
}

void DirtyRegion::Remove(int i) {
    rects_[i] = rects_[count_ - 1];
    --count_;
}

int64_t DirtyRegion::Area() const {
    int64_t area = 0;
    for (const Rect& r : *this)
        area += AreaOf(r);
    return area;
}

}  // namespace gui
