#include "gui/engine/PolygonRasterizer.h"

#include <algorithm>
#include <cstdlib>

namespace gui {

PolygonRasterizer::PolygonRasterizer() {
    buckets_.reserve(320);
    edges_.reserve(500);
}

int PolygonRasterizer::Rasterize(const Point* points, int count, std::vector<Span>* spans) {
    spans->clear();
    spanCount_ = 0;
    active_ = -1;
    if (count < 2) return 0;
    int32_t minY = kMaxCoordinate, maxY = -kMaxCoordinate;
    for (int i = 0; i < count; ++i) {
        if (std::abs(points[i].x) > kMaxCoordinate || std::abs(points[i].y) > kMaxCoordinate) return 0;
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    minY_ = static_cast<int16_t>(minY);
    buckets_.assign(static_cast<size_t>(std::max(maxY - minY + 2, 0)), -1);
    edges_.clear();
    edges_.reserve(static_cast<size_t>(count));

    for (int i = 0; i < count; ++i) {
        const int n = (i + 1) % count;
        const Point& a = points[i];
        const Point& b = points[n];
        if (a.y == b.y) continue;
        // The first vertex after n whose y differs from n's tells whether the outline goes on
        // in the same direction through n.
        int f = (n + 1) % count;
        while (points[f].y == b.y && f != n) f = (f + 1) % count;
        const int32_t fy = points[f].y;
        Edge e{};
        if (a.y < b.y) {
            e.first = static_cast<int16_t>(a.y);
            e.last = static_cast<int16_t>(b.y);
            e.step = static_cast<int32_t>((static_cast<int64_t>(b.x - a.x) * 65536) / (b.y - a.y));
            e.x = a.x * 65536 + 32768;
            if (b.y < fy) e.last = static_cast<int16_t>(b.y - 1);
        } else {
            e.first = static_cast<int16_t>(b.y);
            e.last = static_cast<int16_t>(a.y);
            e.step = static_cast<int32_t>((static_cast<int64_t>(a.x - b.x) * 65536) / (a.y - b.y));
            e.x = b.x * 65536 + 32768;
            if (fy < b.y) {
                e.first = static_cast<int16_t>(b.y + 1);
                e.x += e.step;
            }
        }
        int32_t& head = buckets_[static_cast<size_t>(e.first - minY_)];
        e.next = head;
        head = static_cast<int32_t>(edges_.size());
        edges_.push_back(e);
    }

    for (int32_t y = minY;; ++y) {
        // Drop finished edges, then append the edges that start on this row.
        int32_t* link = &active_;
        while (*link >= 0) {
            if (edges_[*link].last < y) {
                *link = edges_[*link].next;
            } else {
                link = &edges_[*link].next;
            }
        }
        const size_t bucket = static_cast<size_t>(y - minY_);
        if (bucket < buckets_.size()) {
            *link = buckets_[bucket];
        }
        if (active_ < 0) break;

        int crossings = 0;
        for (int32_t e = active_; e >= 0; e = edges_[e].next) {
            const int32_t x = edges_[e].x;
            // Not past the last row: one step more can leave 32 bits for a steep edge.
            if (y < edges_[e].last) edges_[e].x += edges_[e].step;
            if (crossings == kMaxCrossings) continue;  // more than the shapes drawn here need
            int j = crossings++;
            while (j > 0 && crossings_[j - 1] > x) {
                crossings_[j] = crossings_[j - 1];
                --j;
            }
            crossings_[j] = x;
        }
        if (crossings % 2 != 0 && crossings < kMaxCrossings) {
            crossings_[crossings] = crossings_[crossings - 1];
            ++crossings;
        }
        for (int k = 0; k + 1 < crossings; k += 2) {
            const int32_t xl = crossings_[k] >> 16, xr = crossings_[k + 1] >> 16;
            if (xr - xl > 0) {
                spans->push_back({xl, y, 0, xr - xl, 0});
                ++spanCount_;
            }
        }
    }
    return spanCount_;
}

}  // namespace gui
