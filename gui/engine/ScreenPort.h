#pragma once

#include "gui/engine/Rect.h"

namespace gui {

// What a painter draws for: the area of a widget on the canvas and its client area.
class ScreenPort {
public:
    Rect rect;    // absolute canvas coordinates
    Rect client;  // relative to the top-left corner of rect
};

}  // namespace gui
