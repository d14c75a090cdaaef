#pragma once

#include <string>

#include "gui/AbstractMenuItem.h"

namespace gui {

// A line of text with a value.
class MenuItem : public AbstractMenuItem {
public:
    MenuItem(int32_t value, const std::string& label);

    // Vertically centred, placed horizontally by the menu's labelAnchorX, in the current pen.
    void Draw(Painter& painter, const Rect& r) override;

    std::string label;
};

}  // namespace gui
