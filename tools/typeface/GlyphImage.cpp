#include "tools/typeface/GlyphImage.h"

namespace typeface {

void GlyphImage::Trim() {
    auto rowEmpty = [&](int y) {
        for (int x = 0; x < width; ++x) {
            if (At(x, y) != 0)
                return false;
        }
        return true;
    };
    auto columnEmpty = [&](int x, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (At(x, y) != 0)
                return false;
        }
        return true;
    };
    int first = 0, end = height;
    while (first < end && rowEmpty(first))
        ++first;
    while (end > first && rowEmpty(end - 1))
        --end;
    int columns = width;
    while (columns > 0 && columnEmpty(columns - 1, first, end))
        --columns;
    if (first == end || columns == 0) {
        width = height = 0;
        coverage.clear();
        return;
    }
    std::vector<uint8_t> kept;
    kept.reserve(static_cast<size_t>(end - first) * columns);
    for (int y = first; y < end; ++y) {
        const uint8_t* row = &coverage[static_cast<size_t>(y) * width];
        kept.insert(kept.end(), row, row + columns);
    }
    top -= first;
    height = end - first;
    width = columns;
    coverage.swap(kept);
}

}  // namespace typeface
