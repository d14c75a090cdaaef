#pragma once

#include <cstdint>
#include <vector>

#include "gui/engine/Point.h"
#include "gui/engine/PolygonRasterizer.h"
#include "gui/engine/Span.h"

namespace gui {

// Working arrays shared by every painter, made by the first one and kept for the life of the
// process, so that drawing a shape does not allocate. Not reentrant: one painter operation runs
// at a time, on the main thread.
struct DrawingScratch {
    DrawingScratch();

    std::vector<Span> spans;
    std::vector<Point> points;
    std::vector<int16_t> cornerX;
    std::vector<int16_t> cornerY;
    PolygonRasterizer rasterizer;

    static DrawingScratch& Shared();
};

}  // namespace gui
