#pragma once

#include <cstdint>

#include "gui/engine/Painter.h"

namespace gui {

class WidgetMenu;

// One row of a menu: what the menu draws through, and the value it reports when selected.
class AbstractMenuItem {
public:
    explicit AbstractMenuItem(int32_t v) : value(v) {}
    virtual ~AbstractMenuItem() = default;

    // Draws the item inside r.
    virtual void Draw(Painter& painter, const Rect& r) = 0;

    int32_t value;
    WidgetMenu* menu = nullptr;  // set when added to a menu
};

}  // namespace gui
