#include "gui/engine/DrawingScratch.h"

namespace gui {

DrawingScratch::DrawingScratch() {
    spans.reserve(480);
    points.reserve(500);
    cornerX.reserve(200);
    cornerY.reserve(200);
}

DrawingScratch& DrawingScratch::Shared() {
    // Never freed: painters may run from exit handlers that destroy the widget tree.
    static DrawingScratch* scratch = new DrawingScratch();
    return *scratch;
}

}  // namespace gui
