#include <gtest/gtest.h>

#include <vector>

#include "gui/engine/PolygonRasterizer.h"

namespace gui {
namespace {

struct SpikeCase {
    const char* name;
    std::vector<Point> points;
    std::vector<int32_t> expected;  // x, y, width of each span
};

// Edges that cross the whole coordinate range in one row: their 16.16 steps are close to the
// 32-bit limit, so an edge must not be stepped past its last row (UndefinedBehaviorSanitizer
// builds stop there).
TEST(PolygonRasterizer, EdgesAcrossTheWholeRangeInOneRow) {
    const int32_t m = PolygonRasterizer::kMaxCoordinate;
    const SpikeCase cases[] = {
        {"right spike", {{m, 0}, {-m, 1}, {m, 2}}, {-m, 1, 2 * m}},
        {"left spike", {{-m, 0}, {m, 1}, {-m, 2}}, {-m, 1, 2 * m}},
    };
    PolygonRasterizer rasterizer;
    for (const SpikeCase& c : cases) {
        std::vector<Span> spans;
        rasterizer.Rasterize(c.points.data(), static_cast<int>(c.points.size()), &spans);
        std::vector<int32_t> got;
        for (const Span& s : spans) got.insert(got.end(), {s.x, s.y, s.interior});
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace gui
