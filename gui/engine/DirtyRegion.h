#pragma once

#include <cstdint>

#include "gui/engine/Rect.h"

namespace gui {

// The parts of the canvas drawn since the last flush, as a few rectangles that never overlap.
// Rectangles that touch or overlap are joined; when there are too many, the two whose union
// wastes least are joined, so a flush copies little more than what was drawn.
class DirtyRegion {
public:
    static constexpr int kMaxRects = 8;

    // r must be on the canvas (clipped) and not empty.
    void Add(const Rect& r);
    void Clear() { count_ = 0; }
    bool Empty() const { return count_ == 0; }
    int Count() const { return count_; }
    const Rect& operator[](int i) const { return rects_[i]; }
    const Rect* begin() const { return rects_; }
    const Rect* end() const { return rects_ + count_; }
    // Pixels covered, for the flush's accounting.
    int64_t Area() const;

private:
    void Remove(int i);

    Rect rects_[kMaxRects];
    int count_ = 0;
};

}  // namespace gui
