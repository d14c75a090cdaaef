#pragma once

#include <cstdint>
#include <vector>

#include "gui/engine/Point.h"
#include "gui/engine/Span.h"

namespace gui {

// Scanline filling with an edge table. A vertex where the outline passes straight through
// belongs to one edge only, a local top or bottom to both; the right crossing of each span is
// exclusive.
class PolygonRasterizer {
public:
    static constexpr int kMaxCrossings = 100;
    // Rows are kept in 16 bits and crossings in 16.16 fixed point: a polygon with a vertex
    // beyond this in either direction gives no spans at all.
    static constexpr int32_t kMaxCoordinate = 16000;

    PolygonRasterizer();

    // Replaces the contents of spans with the filled rows of the polygon; returns their count
    // (0 for a polygon out of range).
    int Rasterize(const Point* points, int count, std::vector<Span>* spans);

private:
    struct Edge {
        int32_t next;  // index into edges_, -1 ends a list
        int16_t first;
        int16_t last;
        int32_t step;  // 16.16 per scanline
        int32_t x;     // 16.16
    };

    int16_t minY_ = 0;
    std::vector<int32_t> buckets_;  // head edge per scanline
    std::vector<Edge> edges_;
    int32_t active_ = -1;
    int spanCount_ = 0;
    int32_t crossings_[kMaxCrossings];
};

}  // namespace gui
